#include "combat/HitTrials.h"

#include "combat/FightingShip.h"
#include "core/GameClock.h"
#include "core/Random.h"
#include "designs/NationsTable.h"
#include "designs/Ship.h"
#include "designs/WeaponTables.h"

#include <algorithm>

namespace tarnwake::combat {

namespace {

constexpr int kBearings = 360;

int LostPercent(int max, int current) {
    return max > 0 ? static_cast<int>((static_cast<long long>(max) - current) * 100 / max) : 0;
}

} // namespace

std::unique_ptr<TFightingShip> FreshShip(const designs::Tship& design) {
    auto ship = std::make_unique<TFightingShip>();
    static_cast<designs::Tship&>(*ship) = design;
    ship->ApplyDesignState();
    // Without smoke floats the allowance draws nothing.
    core::TRandomGenerator unused(0);
    ship->SetAmmoAllowance(unused, false);
    return ship;
}

THitResult ApplyTrialHit(TFightingShip& ship, const THitTrialWeapon& weapon,
                         const THitConditions& conditions, core::TRandomGenerator& random) {
    if (weapon.Calibre <= 0) {
        return UnderwaterHit(ship, weapon.Underwater, "", random);
    }
    TShellHit hit;
    hit.Calibre = weapon.Calibre;
    hit.RangeYards = weapon.RangeYards;
    hit.GunQuality = weapon.GunQuality;
    hit.ShellQuality = weapon.ShellQuality;
    hit.IncomingBearing = weapon.Bearing >= 0 ? weapon.Bearing : random.Random(kBearings);
    hit.Firer = "trial";
    hit.Time = "00:00";
    return ResolveHit(ship, hit, conditions, random);
}

THitTrialTally RunHitTrials(const designs::Tship& design, const designs::TNation& nation,
                            const designs::TWeaponTables& tables, const THitTrialSpec& spec) {
    core::TRandomGenerator random(spec.Seed);
    // The trials are fought in midsummer of the year: a class obsolete by then counts as such.
    const THitConditions conditions{
        .Tables = tables,
        .Nation = nation,
        .FFRLow = spec.FFRLow,
        .ScenarioYear = spec.ScenarioYear,
        .GameDay = static_cast<int>(core::EncodeDateTime(spec.ScenarioYear, 6, 1)),
    };
    THitTrialTally tally;
    tally.TurretsLost.assign(design.Turrets.size() + 1, 0);
    for (int run = 0; run < spec.Runs; ++run) {
        auto ship = FreshShip(design);
        int turretsLost = 0;
        bool fire = false;
        for (int h = 0; h < spec.HitsPerRun; ++h) {
            const int fireBefore = ship->FireLevel;
            const THitResult result = ApplyTrialHit(*ship, spec.Weapon, conditions, random);
            ++tally.Hits;
            if (spec.Weapon.Calibre > 0) {
                ++tally.Locations[static_cast<std::size_t>(result.Location)];
                tally.Plunging += result.Plunging ? 1 : 0;
            }
            tally.ArmourDefeated += result.ArmourDefeated ? 1 : 0;
            tally.MostRedraws = std::max(tally.MostRedraws, result.Redraws);
            tally.CappedRedraws += result.Redraws >= kMaxLocationRedraws ? 1 : 0;
            turretsLost += result.TurretsDestroyed;
            fire = fire || (fireBefore == 0 && ship->FireLevel > 0);
            tally.BlewUp += result.BlewUp ? 1 : 0;
        }
        ++tally.Runs;
        ++tally.TurretsLost[static_cast<std::size_t>(
            std::min<int>(turretsLost, static_cast<int>(design.Turrets.size())))];
        tally.Sinking += ship->Sinking > 0 ? 1 : 0;
        ++tally.DamageStates[static_cast<std::size_t>(ship->DamageState())];
        tally.Flooding.push_back(ship->Flooding);
        tally.FloatLostPercent.push_back(
            LostPercent(ship->MaxFloatPoints, ship->CurrentFloatPoints));
        tally.StructureLostPercent.push_back(
            LostPercent(ship->MaxSuperstructurePoints, ship->CurrentSuperstructurePoints));
        tally.EngineEfficiency.push_back(ship->EngineEfficiency);
        tally.FlotationGone += ship->CurrentFloatPoints == 0 ? 1 : 0;
        tally.SpeedHalved += ship->CurrentMaxSpeed() <= ship->Speed / 2 ? 1 : 0;
        tally.EnginesDisabled += ship->EngineDisabled ? 1 : 0;
        tally.ElectricDisabled += ship->ElectricDisabled ? 1 : 0;
        tally.RudderJammed += ship->RudderStatus != 0 ? 1 : 0;
        tally.FiresStarted += fire ? 1 : 0;
    }
    return tally;
}

} // namespace tarnwake::combat
