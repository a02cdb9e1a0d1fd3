#pragma once

#include "combat/HitEffects.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarnwake::designs {
class Tship;
}

namespace tarnwake::combat {

// Hits applied to ships of a design outside any battle, so that a developer, a modder or a
// tester can see what a design suffers: the tests and `tarnwake-cli hit` use it.

// The weapon of a trial: a shell, or a torpedo or mine.
struct THitTrialWeapon {
    int Calibre = 0;    // a shell of this calibre in inches; 0 for an underwater hit
    int Underwater = 0; // a torpedo of this calibre in inches, or kMineSize for a mine
    int RangeYards = 10000;
    int GunQuality = 0;
    int ShellQuality = 0;
    int Bearing = -1; // the incoming bearing; -1: drawn anew for every hit
};

struct THitTrialSpec {
    THitTrialWeapon Weapon;
    int HitsPerRun = 1; // hits on the same ship before it is judged
    int Runs = 1;       // ships hit, each fresh from the design
    std::uint64_t Seed = 1;
    int ScenarioYear = 1916;
    bool FFRLow = false;
};

// What the runs came to.
struct THitTrialTally {
    int Runs = 0;
    int Hits = 0;
    std::array<int, kHitLocations + 1> Locations{}; // shell hits by location 1..11
    int Plunging = 0;
    int ArmourDefeated = 0;
    std::vector<int> TurretsLost; // runs by the number of turrets destroyed
    int BlewUp = 0;
    int Sinking = 0;
    std::array<int, 5> DamageStates{}; // runs by damage state 0..4 after their hits
    // Per run: flooding let in, and percent of flotation and of upper works lost.
    std::vector<int> Flooding;
    std::vector<int> FloatLostPercent;
    std::vector<int> StructureLostPercent;
    std::vector<int> EngineEfficiency;
    int FlotationGone = 0; // runs that left no float points: the ship will sink
    int SpeedHalved = 0;   // runs that left the ship at half its design speed or less
    int EnginesDisabled = 0;
    int ElectricDisabled = 0;
    int RudderJammed = 0;
    int FiresStarted = 0;
    int MostRedraws = 0;
    int CappedRedraws = 0; // hits that reached the redraw cap
};

// A ship of `design` as it enters a battle: its design state and full ammunition.
std::unique_ptr<TFightingShip> FreshShip(const designs::Tship& design);

// One hit of the weapon on the ship: a shell through ResolveHit, else UnderwaterHit. A
// weapon without a bearing draws one first.
THitResult ApplyTrialHit(TFightingShip& ship, const THitTrialWeapon& weapon,
                         const THitConditions& conditions, core::TRandomGenerator& random);

THitTrialTally RunHitTrials(const designs::Tship& design, const designs::TNation& nation,
                            const designs::TWeaponTables& tables, const THitTrialSpec& spec);

} // namespace tarnwake::combat
