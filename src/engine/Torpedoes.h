#pragma once

#include "combat/TorpedoMounts.h"

#include <string>

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {

class TGameWorld;
class TTorpedo;

// The computer's torpedo launches of the minute: every ship with tubes, in divisions not
// ordered to hold torpedo fire, now and again considers an attack.
void ComputerLaunchesTorpedoes(TGameWorld& world);
// Whether and at which of its sighted enemies a ship fires: capital ships first, then anything
// worth a torpedo.
void ConsiderTorpedoAttack(TGameWorld& world, combat::TFightingShip& ship);
// The attack on one target: the aspect decides how good the chance is; then the fast setting,
// or failing that (and not always) the slow one.
void AimTorpedoes(TGameWorld& world, combat::TFightingShip& ship, combat::TFightingShip& target);

inline constexpr const char* kSubmergedTubesTooFast =
    "Submerged tubes not usable at speeds above 25 knots!";

// What came of a launch: torpedoes in the water, or the reason (for a launch by hand) why not.
struct TLaunchResult {
    bool Launched = false;
    std::string Refusal;
};
// Fires mount `mount` of the ship at `target` on the true course `course`, a spread of its
// tubes; a launch by hand (`manual`) fires every tube, the computer's may stop short.
TLaunchResult LaunchFromMount(TGameWorld& world, combat::TFightingShip& ship, int mount,
                              bool manual, combat::TTorpedoSetting setting, int course,
                              combat::TFightingShip& target);

// Every sub-step: the torpedoes in the water run on, and with `checkContacts` each is checked
// against the ships; those whose run has ended are logged and leave the water.
void MoveTorpedoes(TGameWorld& world, bool checkContacts);
// A torpedo passing a ship: inside the danger radius the ship tries to comb its track, and may
// be hit. Answers whether it was.
bool TorpedoContact(TGameWorld& world, TTorpedo& torpedo, combat::TFightingShip& ship);
// Yards within which a torpedo can strike the ship: a bigger hull is a bigger mark, a
// merchantman an easier one, and at the fast game speed (`fastGame`, where the checks come
// further apart) a surface ship's torpedo is given a wider reach.
int TorpedoDangerRadius(const combat::TFightingShip& ship, bool fastGame, bool bySubmarine);
// Whether any torpedo is in the water.
bool AnyTorpedoRunning(const TGameWorld& world);
// The torpedo log's new lines go to its file.
void WriteTorpedoLog(TGameWorld& world);

// The damage text of a torpedo or mine hit, logged for the player; a ship that blew up is
// logged with the explosion's marker.
void LogUnderwaterDamage(TGameWorld& world, const combat::TFightingShip& ship,
                         const std::string& text);

} // namespace tarnwake::engine
