#pragma once

#include <functional>
#include <string>

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// What a division counts as lost when one of its ships is detached sinking: capital ships
// most, destroyers least, auxiliaries nothing. The division adds half of it.
int LossValue(const combat::TFightingShip& ship);

// The ship (none: the division's last ship) leaves her division for a division of her own,
// named after her with " *": same side, course, force, reports and (in "Admiral's mode" always)
// computer control. A ship not too badly hurt keeps her division's role and lead; a cripple is
// sent home on her own. She may rejoin after 15 minutes. `prepare` gives the new division its
// orders; then, when the computer steers it, it decides its stance and course at once. Answers
// the new division.
combat::TDivision* DetachShip(TGameWorld& world, combat::TDivision& division,
                              combat::TFightingShip* ship,
                              const std::function<void(combat::TDivision&)>& prepare = {});
// Destroyer divisions screening `from` give up their leaders to screen `to`.
void SplitEscorts(TGameWorld& world, combat::TDivision& from, combat::TDivision& to);
// Asks the player whether to detach the ship (ship name, `reason`, "Do you want to detach
// her?"). A No is remembered: she is not asked about again for 30 of these checks.
bool AskDetach(TGameWorld& world, combat::TFightingShip& ship, const std::string& reason);

// Once a minute: slow and crippled ships drop to the rear of the line, and stragglers, cripples,
// ships lost in the dark or out of control are detached. The flagship of a division is never
// detached here; a detachment that needs the player or changes the line ends the checks for
// the minute.
void CheckDetach(TGameWorld& world, combat::TDivision& division);
// A detached ship that has come back close to her own division rejoins it.
void CheckReattach(TGameWorld& world, combat::TDivision& division);

// Why the player may not send the ship home ("Ship is not sufficiently damaged to detach!"),
// or nothing.
std::string DetachRefusal(const TGameWorld& world, const combat::TFightingShip& ship);
// The player's "Detach", confirmed: a ship alone (or an armed merchant cruiser or seaplane
// carrier, with her division) is sent home under computer control; any other leaves her
// division to go home on her own. Answers whether it was done.
bool DetachCommand(TGameWorld& world, combat::TFightingShip& ship);

} // namespace tarnwake::engine
