#pragma once

#include <string>
#include <vector>

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::combat {

class TFightingShip;

// The worst a fire can burn.
inline constexpr int kMaxFireLevel = 9;

// How readily a ship of her type burns: the capital ships' armoured decks least, merchant hulls
// and seaplane carriers (aviation spirit) most. Wrecked upper works burn better: half as
// readily again beyond half of them gone, and twice that beyond four fifths.
int FireBase(const TFightingShip& ship);

// A hit of `calibre` inches (or the strength a rule names) may set the ship alight: a ship not
// yet burning starts at level 1 and the hit's text gains "Fire started"; a fire already burning
// may grow by a level. Answers the fire text, empty when no fire was started.
std::string StartFire(TFightingShip& ship, int calibre, core::TRandomGenerator& random);

// What the fire fighting reads beyond the ship.
struct TFireConditions {
    int DamageControl = 0; // the nation's
    bool Obsolete = false;
    // Nobody fires at the ship or aims at her this minute: the crew can fight the fire on deck.
    bool Unmolested = false;
    std::string Time; // "hh:nn" for the ship's log
};

// What the minute's fire fighting did: the last text of the minute (for the player), and
// whether the crew gave the ship up.
struct TFireResult {
    std::string Text;
    bool Abandoned = false;
};

// One minute of fighting a fire: the crew may check it or put it out, it may spread, it burns
// the upper works, and a ship burning from end to end with her upper works gone is abandoned.
// Every change is written to the ship's log.
TFireResult FightFire(TFightingShip& ship, const TFireConditions& conditions,
                      core::TRandomGenerator& random);

} // namespace tarnwake::combat
