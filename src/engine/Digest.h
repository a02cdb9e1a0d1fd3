#pragma once

#include <cstdint>
#include <string>

namespace tarnwake::engine {

class TGameWorld;

// The whole state of a game that the rules decide, as text: the clock, the weather, every ship
// (in play and sunk) with its position, heading, speed, damage, weapons and targets, every
// division's orders, the smoke floats and the log of the game's events. Two games in the same
// state give the same text, line for line, so two texts that differ show where two battles
// went apart. What only shows (wakes, smoke puffs, the displayed log's colours, notes such as
// "Game autosaved") is left out.
std::string StateText(const TGameWorld& world);

// A 64-bit digest of the state text (FNV-1a), and its 16-digit hexadecimal form.
std::uint64_t StateDigest(const TGameWorld& world);
std::string DigestHex(std::uint64_t digest);

} // namespace tarnwake::engine
