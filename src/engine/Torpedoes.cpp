#include "engine/Torpedoes.h"

#include "combat/FightingShip.h"
#include "combat/HitEffects.h"
#include "core/GameClock.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "engine/GameWorld.h"
#include "engine/Hazards.h"
#include "engine/Torpedo.h"
#include "map/GamePresenters.h"
#include "map/Geometry.h"
#include "map/GlobeUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tarnwake::engine {

using combat::TFightingShip;
using combat::TTorpedoSetting;
using designs::TShipType;

namespace {

// ---- The computer's decision to attack
// Out of N minutes a ship with tubes looks for a torpedo target in 12: a destroyer, whose
// torpedoes are her main weapon, most often, a light cruiser less, anything else seldom.
constexpr int kConsiderChances = 12;
constexpr int kDestroyerConsiderOutOf = 20;
constexpr int kCruiserConsiderOutOf = 25;
constexpr int kOtherConsiderOutOf = 40;
// By day a ship holds her torpedoes three times in ten.
constexpr int kDayHoldChance = 29;
// Torpedoes are fired well inside the slow setting's reach, not at its limit.
constexpr double kTorpedoReachShare = 0.8;
// A target that has taken this many torpedoes already is seldom worth another.
constexpr int kEnoughTorpedoHits = 4;
// A hulk of 90 tons or less is not worth a torpedo.
constexpr int kSmallestTorpedoTarget = 90;
constexpr int kSinkingTransportChance = 10;
constexpr int kCloseRange = 2500;
constexpr int kMediumRange = 5000;
constexpr int kLongRange = 6000;
constexpr int kSlowCapitalShip = 12;
constexpr int kSlowTarget = 10;
constexpr int kCrippledPercent = 60;

// ---- Aiming
// An unidentified target is attacked one time in five.
constexpr int kUnidentifiedAttack = 80;
// The chance of an attack by the firer's aspect: fine on the bow or quarter, abeam, and on the
// bow quarters, the best of all. Below kCrawlingTargetSpeed a target is a fair mark from any
// aspect, even from astern, and up to it her speed is judged without doubt.
constexpr int kFineAspectChance = 40;
constexpr int kBeamAspectChance = 60;
constexpr int kBestAspectChance = 90;
constexpr int kCrawlingTargetSpeed = 8;
// A capital ship or armoured cruiser seldom risks her torpedoes on anything smaller than
// herself, and not often at all.
constexpr int kBigShipTorpedoChance = 60;
// The target's speed is misjudged by up to two knots, a fast one by up to three.
constexpr int kFastTargetSpeed = 10;
constexpr int kFastTargetDoubt = 3;
constexpr int kSlowTargetDoubt = 2;

// ---- Launching
constexpr int kSubmergedTubesTopSpeed = 25;
constexpr int kSubmergedFailChance = 9;
constexpr int kSpreadStopChance = 50;

// ---- Contact
constexpr double kDangerRadiusPerRootTon = 0.7;
constexpr int kDangerRadiusBase = 20;
constexpr int kSlowShipSpeed = 6;
constexpr int kCombingAngle = 20;
constexpr int kBeamOnAngle = 45;
constexpr int kStoppedCombingBonus = 20;
constexpr int kStoppedBeamBonus = 30;
constexpr int kSlowShipBonus = 10;
constexpr int kShortRunYards = 1000;
constexpr int kMediumRunYards = 2000;
constexpr int kShortRunBonus = 3;
constexpr int kHitRollBase = 150;
constexpr int kCalmHitRoll = 170;
constexpr int kCalmWayOnSpeed = 4;
// Lookouts sometimes report a hit that never was.
constexpr int kFalseClaimChance = 4;
// Without an enemy in sight a crew often takes a torpedo for a mine.
constexpr int kMistakenForMineChance = 20;

constexpr const char* kEnemyShip = "8 Enemy ship ";
// Torpedo tracks on the chart: a dark dotted wake.
constexpr core::TColor kTorpedoTrackColour = 0x00303030;

std::string Time(const TGameWorld& world) {
    return core::FormatTime(world.Clock);
}

int RangeBetween(const TGameWorld& world, const TFightingShip& a, const TFightingShip& b) {
    return static_cast<int>(core::Round(world.SightingPairs.Range(a, b)));
}

// The range the torpedo computer works with: the plot's, in whole hundreds of yards.
int PlotRange(const TGameWorld& world, const TFightingShip& a, const TFightingShip& b) {
    return RangeBetween(world, a, b) / 100 * 100;
}

bool IsStopped(const TFightingShip& ship) {
    return ship.CurrentSpeed == 0;
}

bool NoLongerInPlay(const TFightingShip& ship) {
    return ship.IsSinkingOrSunk();
}

// Step 1 of the attack: the chance at a capital ship or armoured cruiser.
int CapitalShipChance(const TFightingShip& target, int range) {
    int chance = range < kCloseRange ? 80 : (range < kMediumRange ? 70 : 40);
    if (target.CurrentSpeed < kSlowCapitalShip && target.DamagePercentage() > kCrippledPercent) {
        chance += 10;
    }
    if (IsStopped(target)) {
        chance += 10;
    }
    return NoLongerInPlay(target) ? chance / 2 : chance;
}

// Step 2: the chance at any target worth a torpedo.
int AnyTargetChance(const TGameWorld& world, const TFightingShip& ship, const TFightingShip& target,
                    int range) {
    int chance = 40;
    if (target.ShipType == TShipType::DD || target.ShipType == TShipType::MS) {
        const bool capitalInSight =
            std::any_of(ship.Sighted.begin(), ship.Sighted.end(),
                        [](const TFightingShip* s) { return s != nullptr && s->IsLargeShip(); });
        chance = capitalInSight ? 10 : 20;
    }
    if (ship.LightState == combat::kLightNight) {
        chance += 10;
    }
    if (range > kMediumRange) {
        chance -= 10;
        if (range > kLongRange && chance > 10) {
            chance -= 10;
        }
    }
    if (range < kCloseRange) {
        chance += 10;
    }
    // Cruisers and raiders finish off cripples and merchantmen with torpedoes.
    const bool raider = ship.ShipType == TShipType::CL || ship.ShipType == TShipType::AMC ||
                        ship.ShipType == TShipType::AV;
    if (raider && target.CurrentSpeed < kSlowTarget &&
        (target.DamagePercentage() > kCrippledPercent || target.ShipType == TShipType::TR)) {
        chance += 10;
    }
    if (IsStopped(target)) {
        chance += 10;
    }
    const bool computerSide = (ship.Side == 0 || ship.Side == 1) &&
                              world.Sides[static_cast<std::size_t>(ship.Side)].ComputerCommanded;
    return NoLongerInPlay(target) && computerSide ? chance / 2 : chance;
}

// How good a firing position is, by the firer's bearing from the target's bow: best on the
// bow quarters, nothing from astern, where the torpedo must chase.
int AspectChance(int bowAngle) {
    const int b = map::NormaliseCourse(bowAngle);
    if (b >= 151 && b <= 210) {
        return 0;
    }
    if ((b >= 21 && b <= 80) || (b >= 271 && b <= 340)) {
        return kBestAspectChance;
    }
    if ((b >= 81 && b <= 120) || (b >= 241 && b <= 270)) {
        return kBeamAspectChance;
    }
    return kFineAspectChance;
}

// One setting of an attack: the course from the torpedo computer, doubted, and the first mount
// that bears on it fires. False when the setting cannot reach the target.
bool TrySetting(TGameWorld& world, TFightingShip& ship, TFightingShip& target,
                TTorpedoSetting setting, int bowAngle, int estimatedSpeed) {
    const auto aim = combat::AimSetting(bowAngle, combat::SettingSpeed(ship.TorpedoData, setting),
                                        estimatedSpeed, PlotRange(world, ship, target),
                                        combat::SettingRange(ship.TorpedoData, setting));
    if (!aim) {
        return false;
    }
    const int bearing = ship.TrueBearingToShip(&target, world.Messages());
    const int course = combat::JitteredCourse(
        map::AddBearing(bearing, aim->Lead), target.CurrentSpeed > kCrawlingTargetSpeed,
        target.SightingLevel < combat::kClassIdentified, world.Random());
    const int mount = combat::FirstMountReady(ship, course);
    if (mount >= 0) {
        LaunchFromMount(world, ship, mount, false, setting, course, target);
    }
    return true;
}

int StepUnits(int knots, const TGameWorld& world) {
    // The run of a sub-step: speed / 60 x D / 240 nautical miles, as the ships run.
    constexpr double kSubStepsPerMinuteBase = 240.0;
    return static_cast<int>(
        map::FromUnits(knots / 60.0 * GameSpeed(world.SpeedIndex).D / kSubStepsPerMinuteBase,
                       map::TGlobeUnitTypes::NauticalMile));
}

void LogTorpedoRun(TGameWorld& world, const TTorpedo& torpedo, bool onLand) {
    const std::string run = std::to_string(core::Round(torpedo.RunSoFar));
    std::string line =
        torpedo.FiringShipName + ";" + torpedo.TargetName + ";" +
        (torpedo.Type.Name.empty() ? std::to_string(torpedo.Type.Calibre) : torpedo.Type.Name) +
        ";" + (torpedo.LowSetting ? "Low;" : "High;") + (torpedo.Close ? "Close;" : ";");
    if (!torpedo.Victim.empty()) {
        line += torpedo.Victim + ";" + run;
    } else if (onLand) {
        line += "Hit land;" + run;
    } else {
        line += ";";
    }
    world.TorpedoLog.Add(std::move(line));
}

void TorpedoHit(TGameWorld& world, TTorpedo& torpedo, TFightingShip& ship) {
    core::TRandomGenerator& random = world.Random();
    const std::string time = Time(world);
    std::string damage;
    const bool alreadySinking = ship.IsSinkingOrSunk();
    if (!alreadySinking) {
        damage = combat::UnderwaterHit(ship, torpedo.Type.Calibre, "", random).Text;
        ship.HitMarks.push_back(
            {TFightingShip::THitMark::kBelowWaterline,
             map::AddBearing(map::AddBearing(torpedo.Heading, 180), -ship.Course())});
    } else {
        // She goes down the sooner.
        ship.Sinking -= ship.Sinking / (random.Random(5) + 6);
        ++ship.TorpedoHits;
        ship.Hits.push_back(time + " " + " ## Torpedo (" + torpedo.FiringShipName + ")");
    }
    const bool knowsAttacker = !ship.Sighted.empty();
    const char* phrase = knowsAttacker || random.Random(100) >= kMistakenForMineChance
                             ? kTorpedoHitPhrase
                             : kMineHitPhrase;
    torpedo.Victim = ship.Name;
    if (world.PlayerMaySee(ship)) {
        world.Log.AddLogLine("8" + ship.Name + phrase, &ship);
        LogUnderwaterDamage(world, ship, damage);
    } else if (!torpedo.BySubmarine) {
        // A submarine's success reaches the player, if at all, by its own report.
        world.Log.AddLogLine(kEnemyShip + ship.IdentifiedName() + phrase, &ship);
    }
    if (!alreadySinking) {
        const std::string shown =
            !damage.empty() && damage.front() == '9' ? damage.substr(1) : damage;
        ship.Hits.push_back(time + " " + "Torpedo " + shown + " (" + torpedo.FiringShipName + ")");
    }
}

} // namespace

void ComputerLaunchesTorpedoes(TGameWorld& world) {
    for (const auto& division : world.Divisions) {
        if (division->HoldTorpedoFire) {
            continue;
        }
        for (TFightingShip* ship : division->Ships) {
            if (ship == nullptr || !ship->InPlay() || ship->TorpedoMounts.empty()) {
                continue;
            }
            const int outOf = ship->ShipType == TShipType::DD   ? kDestroyerConsiderOutOf
                              : ship->ShipType == TShipType::CL ? kCruiserConsiderOutOf
                                                                : kOtherConsiderOutOf;
            if (world.Random().Random(outOf) < kConsiderChances) {
                core::RunGuarded(world.Messages(), "ConsiderTorpedoAttack", ship->Name,
                                 [&] { ConsiderTorpedoAttack(world, *ship); });
            }
        }
    }
}

void ConsiderTorpedoAttack(TGameWorld& world, TFightingShip& ship) {
    core::TRandomGenerator& random = world.Random();
    if (ship.LightState != combat::kLightNight && random.Random(100) <= kDayHoldChance) {
        return;
    }
    const double reach = kTorpedoReachShare * ship.TorpedoData.SlowRange;
    struct TCandidate {
        TFightingShip* Ship;
        int Range;
    };
    std::vector<TCandidate> eligible;
    for (TFightingShip* target : ship.Sighted) {
        if (target == nullptr || target->IsLandTarget() || target->Side == kNeutralSide) {
            continue;
        }
        const int range = RangeBetween(world, ship, *target);
        if (range >= reach) {
            continue;
        }
        const int hits = target->TorpedoHits;
        if (hits < kEnoughTorpedoHits || random.Random(10) > hits + 2 || random.Random(20) == 1) {
            eligible.push_back({target, range});
        }
    }
    for (const TCandidate& c : eligible) {
        if (c.Ship->IsLargeShip() && random.Random(100) < CapitalShipChance(*c.Ship, c.Range)) {
            AimTorpedoes(world, ship, *c.Ship);
        }
    }
    for (const TCandidate& c : eligible) {
        if (c.Ship->Displacement <= kSmallestTorpedoTarget) {
            continue;
        }
        if (c.Ship->ShipType == TShipType::TR && c.Ship->IsSinkingOrSunk() &&
            random.Random(100) >= kSinkingTransportChance) {
            continue;
        }
        if (random.Random(100) < AnyTargetChance(world, ship, *c.Ship, c.Range)) {
            AimTorpedoes(world, ship, *c.Ship);
        }
    }
}

void AimTorpedoes(TGameWorld& world, TFightingShip& ship, TFightingShip& target) {
    core::TRandomGenerator& random = world.Random();
    core::IMessages& messages = world.Messages();
    if (target.SightingLevel < combat::kTypeIdentified &&
        random.Random(100) < kUnidentifiedAttack) {
        return;
    }
    const int bowAngle = target.GetBearingToShip(&ship, messages);
    int aspect = AspectChance(bowAngle);
    if (target.CurrentSpeed < kCrawlingTargetSpeed && aspect < kBeamAspectChance) {
        aspect = kFineAspectChance;
    }
    if (random.Random(100) >= aspect) {
        return;
    }
    if (ship.IsLargeShip() &&
        (random.Random(100) > kBigShipTorpedoChance || !target.IsLargeShip())) {
        return;
    }
    if (ship.HoldFireUncertain && ship.CurrentTarget == &target) {
        return;
    }
    if (ship.CountShipsInBetween(&target, world.Ships, false) >= 1 ||
        combat::FriendInLineOfFire(ship, target, messages)) {
        return;
    }
    const int doubt = target.CurrentSpeed > kFastTargetSpeed ? kFastTargetDoubt : kSlowTargetDoubt;
    int estimate = random.Random(doubt) + target.CurrentSpeed;
    estimate = std::max(0, estimate - random.Random(doubt));
    if (TrySetting(world, ship, target, TTorpedoSetting::High, bowAngle, estimate)) {
        return;
    }
    if (random.Random(200) < aspect) {
        TrySetting(world, ship, target, TTorpedoSetting::Low, bowAngle, estimate);
    }
}

TLaunchResult LaunchFromMount(TGameWorld& world, TFightingShip& ship, int mountIndex, bool manual,
                              TTorpedoSetting setting, int course, TFightingShip& target) {
    designs::TFightingTorpedoMount& mount =
        ship.TorpedoMounts.at(static_cast<std::size_t>(mountIndex));
    core::TRandomGenerator& random = world.Random();
    const bool submerged = designs::MountIsSubmerged(mount.Pos);
    if (submerged && ship.CurrentSpeed > kSubmergedTubesTopSpeed) {
        return {false, manual ? kSubmergedTubesTooFast : ""};
    }
    if (submerged && !manual && random.Random(100) <= kSubmergedFailChance) {
        return {};
    }
    if (world.PlayerMaySee(ship)) {
        world.Log.AddLogLine(ship.Name + " is launching torpedoes", &ship);
    }
    const std::string time = Time(world);
    const auto track =
        map::LinePresenter(world.Chart, "TorpedoPresenter", kTorpedoTrackColour, world.Messages());
    for (int i = 1; i <= mount.Tubes && mount.TorpsLeft > 0; ++i) {
        if (!manual && i >= 2 && random.Random(100) < kSpreadStopChance) {
            break;
        }
        // A spread fans out a degree or two more with each tube, alternately to either side.
        int heading = course;
        if (i > 1) {
            const int spread = i + random.Random(2);
            heading = map::AddBearing(course, i % 2 == 0 ? -spread : spread);
        }
        auto torpedo = std::make_unique<TTorpedo>(&world.Chart.ShipLayer(), ship.Position());
        torpedo->Heading = map::AddBearing(heading, 0);
        torpedo->Speed = combat::SettingSpeed(ship.TorpedoData, setting);
        torpedo->TotalRun = combat::SettingRange(ship.TorpedoData, setting);
        torpedo->FiredBy = ship.Id;
        torpedo->FiringShipName = ship.Name;
        torpedo->TargetName = target.Name;
        torpedo->Side = ship.Side;
        torpedo->Type = ship.TorpedoData;
        torpedo->LowSetting = setting == TTorpedoSetting::Low;
        // Only the side that fired knows where its torpedoes run.
        torpedo->Marker->SetHidden(!world.PlayerMaySee(ship));
        if (track) {
            torpedo->Marker->SetPresenterID(*track);
        }
        world.AddTorpedo(std::move(torpedo));
        --mount.TorpsLeft;
        ship.Hits.push_back(time + " " + "Launches torpedo at " + target.IdentifiedName());
    }
    if (submerged) {
        combat::StartReload(mount, world.Environment.WindForce, random);
    }
    return {true, {}};
}

void MoveTorpedoes(TGameWorld& world, bool checkContacts) {
    for (std::size_t i = world.Torpedoes.size(); i-- > 0;) {
        TTorpedo& torpedo = *world.Torpedoes[i];
        const double yards =
            map::ToUnits(StepUnits(torpedo.Speed, world), map::TGlobeUnitTypes::Yard);
        torpedo.SetPosition(map::MovePoint(torpedo.Position(), torpedo.Heading, yards));
        torpedo.RunSoFar += yards;
        bool hit = false;
        if (checkContacts) {
            for (const auto& ship : world.Ships) {
                if (TorpedoContact(world, torpedo, *ship)) {
                    hit = true;
                    break;
                }
            }
        }
        const bool onLand = !hit && world.Chart.IsOnLand(torpedo.Position());
        if (hit || onLand || torpedo.RemainingRun() < 0.0) {
            LogTorpedoRun(world, torpedo, onLand);
            world.RemoveTorpedo(&torpedo);
        }
    }
}

int TorpedoDangerRadius(const TFightingShip& ship, bool fastGame, bool bySubmarine) {
    int radius = static_cast<int>(core::Round(std::sqrt(std::max(0, ship.Displacement)) *
                                              kDangerRadiusPerRootTon)) +
                 kDangerRadiusBase;
    if (ship.ShipType == TShipType::TR) {
        radius = radius * 3 / 2;
    }
    if (fastGame && !bySubmarine) {
        radius = radius * 3 / 2;
    }
    return radius;
}

bool TorpedoContact(TGameWorld& world, TTorpedo& torpedo, TFightingShip& ship) {
    if (ship.IsLandTarget() || ship.Id == torpedo.FiredBy) {
        return false;
    }
    const int radius =
        TorpedoDangerRadius(ship, world.SpeedIndex == kFastSpeed, torpedo.BySubmarine);
    // No two points are nearer along the globe than their difference of latitude: most ships
    // are passed over before any trigonometry.
    const map::TGeoPos at = torpedo.Position();
    const std::int64_t latitudeApart =
        std::abs(static_cast<std::int64_t>(at.lat) - ship.Position().lat);
    if (latitudeApart > map::FromUnits(radius + 1, map::TGlobeUnitTypes::Yard)) {
        return false;
    }
    const int d =
        static_cast<int>(core::Round(map::RangeYards(torpedo.Position(), ship.Position())));
    if (d >= radius) {
        return false;
    }
    if (world.PlayerMaySee(ship)) {
        // Tracks seen with no enemy in sight: a submarine, or destroyers unseen in the dark.
        const bool unseenAttacker =
            world.Preferences.Log.BreakOnSubSighting && ship.Sighted.empty();
        world.Log.AddLogLine((unseenAttacker ? "7" : "") + ship.Name + " is avoiding torpedoes!",
                             &ship);
    }
    torpedo.Close = true;
    ship.AvoidedTorpedoesMinute = world.TimeElapsed;

    core::TRandomGenerator& random = world.Random();
    const int speed = ship.CurrentSpeed;
    int c = 100 - static_cast<int>(core::Round(100.0 * d / radius));
    if (speed < kSlowShipSpeed) {
        c = c - speed + kSlowShipBonus;
    }
    // The angle between the ship's and the torpedo's tracks: combing it end on she presents
    // the smallest mark.
    int g = map::CourseDifference(ship.Course(), torpedo.Heading);
    if (g > 90) {
        g = 180 - g;
    }
    int r = static_cast<int>(core::Round(g / 90.0 * c)) + 7;
    if (g > kBeamOnAngle) {
        r += random.Random(15) + 5;
    }
    if (torpedo.RunSoFar < kShortRunYards) {
        r += kShortRunBonus;
    }
    if (torpedo.RunSoFar < kMediumRunYards) {
        r += kShortRunBonus;
    }
    if (speed < kSlowShipSpeed && g > kCombingAngle) {
        r += kSlowShipBonus;
    }
    if (IsStopped(ship)) {
        r += g <= kCombingAngle ? kStoppedCombingBonus : kStoppedBeamBonus;
    }
    const int wind = world.Environment.WindForce;
    const int m = wind == 0 && speed > kCalmWayOnSpeed ? kCalmHitRoll : 3 * wind + kHitRollBase;
    if (random.Random(m) < r) {
        TorpedoHit(world, torpedo, ship);
        return true;
    }
    // The firing side's lookouts see a column of water where there was none.
    if (!world.PlayerMaySee(ship) && torpedo.Side == world.PlayerSide && !torpedo.BySubmarine &&
        random.Random(100) < kFalseClaimChance) {
        world.Log.AddLogLine(kEnemyShip + ship.IdentifiedName() + kTorpedoHitPhrase, &ship);
    }
    return false;
}

bool AnyTorpedoRunning(const TGameWorld& world) {
    return !world.Torpedoes.empty();
}

void WriteTorpedoLog(TGameWorld& world) {
    world.TorpedoLog.Write(world.Folders().TorpedoLogFile(), world.Messages());
}

void LogUnderwaterDamage(TGameWorld& world, const TFightingShip& ship, const std::string& text) {
    const bool blewUp = !text.empty() && text.front() == '9';
    const std::size_t start = text.find_first_not_of(' ', blewUp ? 1 : 0);
    if (start == std::string::npos) {
        return;
    }
    world.Log.AddLogLine((blewUp ? "9" : "1") + ship.Name + " " + text.substr(start), &ship);
}

} // namespace tarnwake::engine
