#pragma once

#include "combat/HitEffects.h"
#include "designs/WeaponTables.h"

#include <array>
#include <bitset>
#include <string>
#include <vector>

namespace tarnwake::core {
class IMessages;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::designs {
struct TNation;
}

namespace tarnwake::combat {

class TFightingShip;

// "Local only" ... "Improved director": the fire-control levels of the designs.
inline constexpr int kFireControlLocal = 0;
inline constexpr int kFireControlRangefinder = 1;
inline constexpr int kFireControlCentral = 2;
inline constexpr int kFireControlDirector = 3;
inline constexpr int kFireControlImprovedDirector = 4;

// Where a firing ship stands against its target this minute: what the fire phase measures once
// per pair and hands to every gun level.
struct TFireGeometry {
    int RangeYards = 0;
    int RelativeBearing = 0; // of the target from the firer's bow, 0..359
    int TrueBearing = 0;     // from the firer to the target
    int IncomingBearing = 0; // of the firer from the target's bow
    int ShipsInBetween = 0;  // of every side
    int SmokeInterference = 0;
    int TargetVisibility = 0; // yards the target can be seen at, without jitter
    int FirerVisibility = 0;  // yards the firer itself can be seen at, without jitter
    // The true bearing from the firer to the point the light comes from (the sub-solar point).
    int LightBearing = 0;
    // The firer lies in daylight with dusk a short way east or west of it: a low sun.
    bool LowSun = false;
};

// The calibres whose gun data error has been shown once this game.
using TGunDataWarnings = std::bitset<designs::kMaxCalibre + 2>;

// What gunnery reads beyond the two ships and their geometry.
struct TGunneryConditions {
    TGunneryConditions(const designs::TWeaponTables& tables, const designs::TNation& firerNation,
                       const designs::TNation& targetNation, core::IMessages& messages,
                       TGunDataWarnings& warnings)
        : Tables(tables), FirerNation(firerNation), TargetNation(targetNation), Messages(messages),
          Warnings(warnings) {}

    const designs::TWeaponTables& Tables;
    const designs::TNation& FirerNation;
    const designs::TNation& TargetNation; // for the hit rules: its flash risk
    core::IMessages& Messages;
    TGunDataWarnings& Warnings;
    int SideGunneryBonus = 0; // the firing side's accuracy modifier of the scenario
    int ScenarioYear = 1916;
    int GameDay = 0; // the game date's day number
    int Weather = 2; // 0 fog ... 7 heavy rain
    int SeaState = 0;
    bool FFRLow = false;
    std::string Time; // "hh:nn"
    // Messages for the player are made only when set.
    bool Report = false;
    // Ships of this type code or lower have their opening fire and range messages shown.
    int OpenFireMsg = 5;
    int PlayerSide = 0;
};

// A shell splash round the target for the chart: a true bearing from the target and a
// distance in map units.
struct TSplash {
    int Bearing = 0;
    int Distance = 0;
};
inline constexpr int kSplashesPerSalvo = 6;

// A line for the minute's log, with the ship it belongs to (none: nobody's).
struct TSalvoMessage {
    std::string Text;
    const TFightingShip* Owner = nullptr;
};

// What one gun level did in one minute.
struct TSalvo {
    bool Answer = false; // false: the level could not fire at all (no target, out of range ...)
    bool HeldFire = false;
    bool OpenedFire = false;
    int GunsBearing = 0;
    double Chance = 0.0; // percent per round, before the straddle doubles or halves it
    double Rate = 0.0;
    double Expected = 0.0;
    int Rounds = 0;
    bool Straddle = false;
    int Hits = 0;
    std::vector<THitResult> HitResults;
    std::vector<TSalvoMessage> Messages;
    std::string LogLine; // the gunnery log line; empty when none is written
    std::vector<TSplash> Splashes;
    int JammedTurret = -1;
};

// The hit chance in percent per round of `firer`'s guns of `calibre` at level `level` against
// `target`. With `report` the reason of every modifier is appended to it. Draws nothing.
double HitChance(const TFightingShip& firer, const TFightingShip& target, int calibre,
                 bool skipRanging, std::vector<std::string>* report, int level,
                 const TFireGeometry& geometry, const TGunneryConditions& conditions);

// The modifier sum applied: x 1.1 per unit above 0, x 0.9 per unit below.
double ApplyModifier(double value, int m);
// The cap of steep chances (only above 10 percent).
double CapChance(double chance, const TFightingShip& target, int rangeYards);
// The hit-chance modifiers of the target's size, the fire control and the sea.
int TargetSizeModifier(const TFightingShip& target, int rangeYards);
int FireControlModifier(int level, int rangeYards);
int SeaStateHitModifier(designs::TShipType firerType, int seaState);

// Rounds per gun per minute, 0..4. Draws one or two numbers.
double RateOfFire(const TFightingShip& firer, int calibre, const TFightingShip& target,
                  bool poorVisibility, int level, const TFireGeometry& geometry,
                  const TGunneryConditions& conditions, core::TRandomGenerator& random);

// Secondary (level 2) or tertiary (level 3) guns bearing at relative bearing `r`.
int SideGunsBearing(const TFightingShip& ship, int level, int r);

// One ship fires one gun level at `target` for one minute. Changes both ships (ammunition,
// ranging, straddle, the hits and what they do) and answers what it decided; the caller writes
// the messages and the log line, and places the splashes.
TSalvo FireGuns(TFightingShip& firer, TFightingShip* target, int level,
                const TFireGeometry& geometry, const TGunneryConditions& conditions,
                core::TRandomGenerator& random, core::TRandomGenerator& cosmetic);

} // namespace tarnwake::combat
