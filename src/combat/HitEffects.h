#pragma once

#include "combat/Fire.h"

#include <cstdint>
#include <string>

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::designs {
class TWeaponTables;
struct TNation;
enum class TShipType : std::uint8_t;
} // namespace tarnwake::designs

namespace tarnwake::combat {

class TFightingShip;

// Where a shell strikes a ship.
inline constexpr int kTurretHit = 1;
inline constexpr int kNearMiss = 2;
inline constexpr int kBeltHit = 3;
inline constexpr int kHullEndsHit = 4;
inline constexpr int kEngineRoomHit = 5;
inline constexpr int kSuperstructureHit = 6;
inline constexpr int kForeAftHullHit = 7;
inline constexpr int kSuperstructurePassthrough = 8;
inline constexpr int kLowerHullHit = 9;
inline constexpr int kSecondaryBatteryHit = 10;
inline constexpr int kCriticalHit = 11;
inline constexpr int kHitLocations = 11;

// A location that cannot be struck (a fourth turret on a three-turret ship, a torpedo flat
// the ship lacks) sends the shell back to the location draw; after this many redraws it is
// taken as a belt hit, so that no sequence of draws can hold the game in the hit rules.
inline constexpr int kMaxLocationRedraws = 50;

// The log marker of a hit: a gun hit, a torpedo or mine hit, and a ship that blows up.
inline constexpr int kGunHitSeverity = 2;
inline constexpr int kTorpedoHitSeverity = 8;
inline constexpr int kBlowUpSeverity = 9;

// A mine's charge, on the scale of a torpedo's calibre in inches.
inline constexpr int kMineSize = 20;

// One shell that hit.
struct TShellHit {
    int Calibre = 0; // inches
    int RangeYards = 0;
    int GunQuality = 0;      // the firing gun level's quality: 1, 0 or -1
    int ShellQuality = 0;    // the firing nation's: -1 defective shells
    int ShellKind = 0;       // 0: the common shell every gun fires
    int IncomingBearing = 0; // the firer's relative bearing from the target's bow, 0..359
    std::string Firer;       // the firing ship as the target's log names it
    std::string Time;        // the game time "hh:nn"
};

// Starts a fire of a strength (a calibre) on the ship; answers the fire text or nothing.
using TStartFireRule = std::string (*)(TFightingShip& ship, int strength,
                                       core::TRandomGenerator& random);

// What the hit rules read beyond the ship and the shell.
struct THitConditions {
    const designs::TWeaponTables& Tables;
    const designs::TNation& Nation; // the target's nation: its flash risk
    bool FFRLow = false;            // the preference "Reduced flash fire risk"
    int ScenarioYear = 0;           // for the penetration of the shell
    int GameDay = 0;                // the game date's day number: classes obsolete before it
    TStartFireRule StartFire = &combat::StartFire; // damage control's: tests may watch it
};

// What a hit did, for the log, the chart and the outcome tallies.
struct THitResult {
    // The hit text ("Turret hit T * Turret destroyed"); for a torpedo or mine, the text given
    // with what the weapon did appended, with a leading "9" when the ship blew up.
    std::string Text;
    int Severity = kGunHitSeverity;
    // A shell's line for the ship's own hit log and the gunnery report: time, calibre, range,
    // "## " for a ship already sinking, the text and the firer.
    std::string LogLine;
    int Location = 0; // where the shell finally struck, 1..11
    bool Plunging = false;
    bool ArmourDefeated = false; // the armour at the location was defeated
    bool BlewUp = false;         // a flash on the chart
    int TurretsDestroyed = 0;
    int Redraws = 0; // location draws sent back
};

// A shell hit on `ship`: where it strikes, whether it defeats the armour there and what it
// does to the ship. Changes the ship's damage state; the caller writes the texts to the log
// and LogLine to the ship's hit log.
THitResult ResolveHit(TFightingShip& ship, const TShellHit& hit, const THitConditions& conditions,
                      core::TRandomGenerator& random);

// A torpedo or mine hit of size `k` (a torpedo's calibre in inches, kMineSize for a mine);
// `text` is the start of the damage text, to which what the weapon did is appended.
THitResult UnderwaterHit(TFightingShip& ship, int k, const std::string& text,
                         core::TRandomGenerator& random);

// ---- The damage rules the hit rules share

// Where a shell strikes by the location roll r = Random(80), for the ship's type and whether
// the shell plunges and strikes the broadside.
int LocationFromTable(designs::TShipType type, bool plunging, bool broadside, int r);

// Points a hit of size `c` takes: flotation when the shell penetrated (less for a ship with a
// better torpedo defence `td`), else upper works; a single hit never takes more than half
// (and past 1200 points a third) of the ship's points of the kind.
int HitDamage(const TFightingShip& ship, int c, int kind, bool penetrated, int td,
              core::TRandomGenerator& random);
// Flooding a hit of size `k` lets in (added to the ship's Flooding); small holes often none.
void HitFlooding(TFightingShip& ship, int k, core::TRandomGenerator& random);
// Whether a heavy shell (7 inches and more) passes clean through a light hull without
// bursting: destroyers and minesweepers often, light cruisers half as often.
bool Overmatch(const TFightingShip& ship, int c, core::TRandomGenerator& random);
// The ship has taken real punishment (`flag` 1) or is battered (`flag` 0), judged by the hits
// received for its type.
bool Battered(const TFightingShip& ship, int flag);
// Flotation a torpedo or mine of size `k` takes.
int UnderwaterDamage(const TFightingShip& ship, int k, core::TRandomGenerator& random);

} // namespace tarnwake::combat
