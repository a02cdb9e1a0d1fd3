#include "engine/Hazards.h"

#include "campaign/Minefield.h"
#include "combat/FightingShip.h"
#include "combat/HitEffects.h"
#include "core/GameClock.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "engine/GameWorld.h"
#include "engine/Minefields.h"
#include "engine/Torpedoes.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "map/GlobeUnits.h"

#include <algorithm>

namespace tarnwake::engine {

using combat::TFightingShip;
using designs::TShipType;

namespace {

// A ship runs onto a mine bow first: the plan of the ship marks it there, below the waterline.
const TFightingShip::THitMark kMineHitMark{TFightingShip::THitMark::kBelowWaterline, 0};

// ---- Collisions
// A ship comes at another bow first when the other lies within this many degrees of her bow,
// and strikes her beam when she comes in at 31 to 149 degrees either side.
constexpr int kBowArc = 29;
constexpr int kBeamFrom = 31;
constexpr int kBeamTo = 149;
// A ram needs way on, a ship of a tenth more tonnage than her victim, and engines that still
// make 13 knots; ships barely moving only touch.
constexpr int kRammingSpeed = 9;
constexpr int kRammingMaxSpeed = 13;
constexpr int kRammingTonnageTenths = 11;
constexpr int kDriftingSpeed = 1;
// A glancing blow between ships meeting bow to bow is likelier than one at an angle.
constexpr int kHeadOnCollisionChance = 50;
constexpr int kGlancingCollisionChance = 40;
constexpr int kAfterGlancingBlowSpeed = 10;
// The blow is the striking ship's flotation and speed, a thirtieth of it at most.
constexpr int kRamBlowDivisor = 30;
constexpr int kRamGrazeDivisor = 300;
// The rammer's own bow takes an eighth of what she gives.
constexpr int kRammerShare = 8;
// A destroyer's light bow crumples: she loses up to a twelfth of her own flotation too.
constexpr int kDestroyerBowDivisor = 12;
constexpr int kGlancingBlowDivisor = 600;
constexpr int kGlancingGrazeDivisor = 900;

// ---- Mines
// Chances out of which a ship meets one of a field's mines, given by its density: a side knows
// the gaps in its own fields, and the player's captains keep a sharper lookout than the
// computer's.
constexpr int kOwnFieldMeeting = 1000;
constexpr int kEnemyFieldMeeting = 250;
// A mine met explodes against the hull with chance (speed + 12) in T: a destroyer's shallow
// draught and a sweeper's gear spare them more often.
constexpr int kMineStrikeSpeedBonus = 12;
constexpr int kDestroyerMineOdds = 40;
constexpr int kSweeperMineOdds = 50;
constexpr int kShipMineOdds = 30;
// A field laid during play may be met just astern of a fast ship that steamed over it.
constexpr double kAsternYards = 75.0;
constexpr int kAsternSpeedDraw = 30;
constexpr double kSuspectedMarkerAheadYards = 100.0;
constexpr const char* kSuspectedTitle = "Suspected enemy minefield";
constexpr const char* kLaidBy = "laid by";
constexpr int kMaxLinkId = 1'000'000;
constexpr int kCopyKnownChance = 50;
constexpr int kMistakenForTorpedoAbove = 89;
constexpr int kEnemyMineReportChance = 40;
// After a strike the field is often found and swept, the surer the nearer a base.
constexpr int kSweptChance = 20;
constexpr int kSweepingReachMiles = 80;
constexpr int kFreePointYards = 200;
// Mines broken adrift from the fields of both sides, from the second year of the war on.
constexpr int kDriftingMineOdds = 100000;
constexpr int kDriftingMineChance = 2;
constexpr int kDriftingMinePhraseMine = 29;
constexpr int kDriftingMinePhraseTorpedo = 39;

constexpr const char* kCollision = "7Collision! ";

std::string Time(const TGameWorld& world) {
    return core::FormatTime(world.Clock);
}

bool OnBow(int bearing) {
    return bearing <= kBowArc || bearing >= 360 - kBowArc;
}

bool OnBeam(int bearing) {
    return (bearing >= kBeamFrom && bearing <= kBeamTo) ||
           (bearing >= 360 - kBeamTo && bearing <= 360 - kBeamFrom);
}

void LoseFloat(TFightingShip& ship, int points) {
    ship.CurrentFloatPoints = std::max(0, ship.CurrentFloatPoints - points);
}

// The flotation and speed of a ship: what she strikes another with.
int Blow(const TFightingShip& ship) {
    return ship.MaxFloatPoints * ship.Speed;
}

// Whether `rammer` rams `victim`: she lies on the victim's beam (`fromVictim`, her bearing from
// the victim's bow), has the victim on her own bow (`fromRammer`), and has the way, the weight
// and the engines for it.
bool Rams(const TFightingShip& rammer, const TFightingShip& victim, int fromVictim,
          int fromRammer) {
    return OnBeam(fromVictim) && OnBow(fromRammer) && rammer.CurrentSpeed >= kRammingSpeed &&
           static_cast<long long>(victim.Displacement) * kRammingTonnageTenths <
               static_cast<long long>(rammer.Displacement) * 10 &&
           rammer.CurrentMaxSpeed() >= kRammingMaxSpeed;
}

void Ram(TGameWorld& world, TFightingShip& rammer, TFightingShip& victim) {
    core::TRandomGenerator& random = world.Random();
    if (victim.Side == world.PlayerSide) {
        world.Log.AddLogLine(kCollision + victim.Name + " has been rammed by " +
                                 rammer.IdentifiedName() + "!",
                             &victim);
    } else if (rammer.Side == world.PlayerSide) {
        world.Log.AddLogLine(
            kCollision + rammer.Name + " has rammed " + victim.IdentifiedName() + "!", &rammer);
    } else {
        world.Log.AddLogLine(kCollision + rammer.Name + " has rammed " + victim.Name + "!",
                             &rammer);
    }
    const std::string time = Time(world);
    victim.Hits.push_back(time + " " + "Rammed by enemy (" + rammer.Name + ")");
    rammer.Hits.push_back(time + " " + "Rams " + victim.IdentifiedName() + "(" + victim.Name + ")");
    rammer.CurrentSpeed = 0;
    victim.CurrentSpeed = 0;
    // A ram on a ship of more than half her own size stoves in the rammer's bow.
    if (rammer.Displacement / 2.0 < victim.Displacement) {
        rammer.BowDamage = true;
    }
    if (victim.Displacement / 2.0 < rammer.Displacement) {
        victim.ElectricDisabled = true;
    }
    if (rammer.Displacement / 2.0 < victim.Displacement) {
        rammer.ElectricDisabled = true;
    }
    const int given = Blow(rammer);
    int victimLoss = random.Random(given / kRamBlowDivisor);
    victimLoss += random.Random(given / kRamGrazeDivisor);
    LoseFloat(victim, victimLoss);
    const int taken = Blow(victim);
    int rammerLoss = random.Random(taken / kRamBlowDivisor / kRammerShare);
    rammerLoss += random.Random(taken / kRamGrazeDivisor);
    if (rammer.ShipType == TShipType::DD) {
        rammerLoss += random.Random(rammer.MaxFloatPoints / kDestroyerBowDivisor);
    }
    LoseFloat(rammer, rammerLoss);
}

// How the log names a ship in a collision: the player's own by name, the enemy as the player
// knows her; between two ships of the computer's, both by name.
std::string CollisionName(const TGameWorld& world, const TFightingShip& ship,
                          const TFightingShip& other) {
    const bool playersShip = ship.Side == world.PlayerSide;
    const bool playersOther = other.Side == world.PlayerSide;
    return playersShip || !playersOther ? ship.Name : ship.IdentifiedName();
}

void GlancingBlow(TGameWorld& world, TFightingShip& ship, TFightingShip& enemy, bool headOn) {
    core::TRandomGenerator& random = world.Random();
    world.Log.AddLogLine(kCollision + CollisionName(world, ship, enemy) + " and " +
                             CollisionName(world, enemy, ship) + " has collided!",
                         &ship);
    const std::string time = Time(world);
    for (auto [hurt, other] : {std::pair{&ship, &enemy}, std::pair{&enemy, &ship}}) {
        hurt->CurrentSpeed = std::min(hurt->CurrentSpeed, kAfterGlancingBlowSpeed);
        hurt->Hits.push_back(time + " " + "Has collided with enemy  (" + other->Name + ")");
    }
    for (auto [hurt, other] : {std::pair{&ship, &enemy}, std::pair{&enemy, &ship}}) {
        const int x = Blow(*other);
        int loss = random.Random(x / kGlancingBlowDivisor);
        loss += random.Random(x / (headOn ? kGlancingBlowDivisor : kGlancingGrazeDivisor));
        LoseFloat(*hurt, loss);
    }
}

bool KnowsOf(const TGameWorld& world, int side, const campaign::TMinefield& field) {
    return std::any_of(world.Minefields.begin(), world.Minefields.end(), [&](const auto& known) {
        return known.get() != &field && known->Side == side &&
               ((field.LinkId != 0 && known->LinkId == field.LinkId) ||
                known->Marker->Chain(0) == field.Marker->Chain(0));
    });
}

int NewLinkId(TGameWorld& world) {
    return world.Random().Random(kMaxLinkId) + 1;
}

// What the side of a ship that struck an enemy field learns of it.
void LearnOfMinefield(TGameWorld& world, campaign::TMinefield& field, TFightingShip& ship) {
    if (ship.Side == world.PlayerSide) {
        // The player is told only that mines lie here: a marker where the ship was going.
        if (field.LinkId == 0) {
            field.LinkId = NewLinkId(world);
        }
        const map::TGeoPos ahead =
            map::MovePoint(ship.Position(), ship.Course(), kSuspectedMarkerAheadYards);
        LaySubMineField(world, ahead, world.PlayerSide, field.LinkId, 0, kSuspectedTitle);
        return;
    }
    if ((ship.Side == 0 || ship.Side == 1) && world.Random().Random(100) < kCopyKnownChance &&
        !KnowsOf(world, ship.Side, field)) {
        if (field.PlayerLaid) {
            field.LinkId = NewLinkId(world);
        }
        CopyMinefield(world, field, ship.Side, 0);
    }
}

bool SideHasLaidField(const TGameWorld& world, int side) {
    return std::any_of(world.Minefields.begin(), world.Minefields.end(), [side](const auto& f) {
        return f->Side == side && f->PlayerLaid && f->Density > 0;
    });
}

bool SideHasField(const TGameWorld& world, int side) {
    return std::any_of(world.Minefields.begin(), world.Minefields.end(),
                       [side](const auto& f) { return f->Side == side; });
}

// Mines adrift are met from 1915 on, more often as the fields multiplied.
int DriftingMineThreshold(int year) {
    if (year == 1915) {
        return 1;
    }
    if (year == 1916 || year == 1917) {
        return 2;
    }
    if (year == 1918 || year == 1919) {
        return 3;
    }
    return 0;
}

void CheckDriftingMine(TGameWorld& world, TFightingShip& ship) {
    core::TRandomGenerator& random = world.Random();
    if (!(random.Random(kDriftingMineOdds) < kDriftingMineChance && ship.Sighted.empty() &&
          ship.InPlay() && random.Random(100) < DriftingMineThreshold(world.ScenarioYear()) &&
          SideHasField(world, 1))) {
        return;
    }
    const std::string damage = combat::UnderwaterHit(ship, combat::kMineSize, "", random).Text;
    ship.HitMarks.push_back(kMineHitMark);
    const char* phrase = kMineHitPhrase;
    if (random.Random(100) > kDriftingMinePhraseMine) {
        phrase = random.Random(100) > kDriftingMinePhraseTorpedo ? kTorpedoHitPhrase
                                                                 : " strikes a drifting mine!";
    }
    ship.Hits.push_back(Time(world) + " " + " Drifting Mine " + damage);
    if (world.PlayerMaySee(ship)) {
        world.Log.AddLogLine("8" + ship.Name + phrase, &ship);
        LogUnderwaterDamage(world, ship, damage);
    }
}

} // namespace

void ResolveCollision(TGameWorld& world, TFightingShip& ship, TFightingShip& enemy) {
    try {
        if (ship.Collided || enemy.Collided) {
            ship.Collided = true;
            enemy.Collided = true;
            return;
        }
        if (ship.CurrentSpeed <= kDriftingSpeed && enemy.CurrentSpeed <= kDriftingSpeed) {
            return;
        }
        core::IMessages& messages = world.Messages();
        const int a = ship.GetBearingToShip(&enemy, messages);
        const int b = enemy.GetBearingToShip(&ship, messages);
        if (Rams(enemy, ship, a, b)) {
            Ram(world, enemy, ship);
        } else if (Rams(ship, enemy, b, a)) {
            Ram(world, ship, enemy);
        } else {
            const bool headOn = OnBow(a) && OnBow(b);
            const int chance = headOn ? kHeadOnCollisionChance : kGlancingCollisionChance;
            if (world.Random().Random(100) >= chance) {
                return;
            }
            GlancingBlow(world, ship, enemy, headOn);
        }
        ship.Collided = true;
        enemy.Collided = true;
    } catch (const std::exception& e) {
        world.Messages().Error(core::ProcedureErrorText("ResolveCollision", ship.Name, e.what()));
    }
}

void CheckMineStrike(TGameWorld& world, TFightingShip& ship) {
    if (ship.IsLandTarget()) {
        return;
    }
    try {
        for (int side = 0; side <= 1; ++side) {
            if (campaign::TMinefield* field = MinefieldAt(world, side, ship.Position())) {
                CheckMineHitInField(world, *field, ship);
            }
            if (side != ship.Side && SideHasLaidField(world, side) &&
                world.Random().Random(kAsternSpeedDraw) + 1 < ship.Speed) {
                const map::TGeoPos astern = map::MovePoint(
                    ship.Position(), map::AddBearing(ship.Course(), 180), kAsternYards);
                if (campaign::TMinefield* field = MinefieldAt(world, side, astern, true)) {
                    CheckMineHitInField(world, *field, ship);
                }
            }
        }
        CheckDriftingMine(world, ship);
    } catch (const std::exception& e) {
        world.Messages().Error("Error in CheckMineStrike procedure!\rShip: " + ship.Name + "\n" +
                               e.what());
    }
}

void CheckMineHitInField(TGameWorld& world, campaign::TMinefield& field, TFightingShip& ship) {
    try {
        core::TRandomGenerator& random = world.Random();
        int meeting = field.Side == ship.Side ? kOwnFieldMeeting : kEnemyFieldMeeting;
        if (!ship.PlayerCommanded) {
            meeting *= 2;
        }
        if (random.Random(meeting) >= field.Density) {
            return;
        }
        const int odds = ship.ShipType == TShipType::DD   ? kDestroyerMineOdds
                         : ship.ShipType == TShipType::MS ? kSweeperMineOdds
                                                          : kShipMineOdds;
        if (random.Random(odds) >= ship.CurrentSpeed + kMineStrikeSpeedBonus) {
            return;
        }
        const std::string damage = combat::UnderwaterHit(ship, combat::kMineSize, "", random).Text;
        ship.HitMarks.push_back(kMineHitMark);
        if (world.PlayerMaySee(ship)) {
            const char* phrase =
                random.Random(100) > kMistakenForTorpedoAbove ? kTorpedoHitPhrase : kMineHitPhrase;
            world.Log.AddLogLine("8" + ship.Name + phrase, &ship);
            LogUnderwaterDamage(world, ship, damage);
        } else if (!ship.Sighted.empty() && random.Random(100) < kEnemyMineReportChance) {
            world.Log.AddLogLine("8" + ship.IdentifiedName() + kMineHitPhrase, &ship);
        }
        const std::string& title = field.Marker->Title();
        ship.Hits.push_back(Time(world) + " " + " Mine " + damage +
                            (title.find(kLaidBy) != std::string::npos ? " (" + title + ")" : ""));
        if (field.Density > 1) {
            field.Density = static_cast<int>(core::Round(field.Density / 2.0));
        }
        if (field.Side != ship.Side) {
            LearnOfMinefield(world, field, ship);
        }
        if (random.Random(100) < kSweptChance) {
            field.Density = 1;
        } else {
            map::TGeoPos base;
            std::string baseName;
            if (world.NearestBase(ship, base, baseName) &&
                map::ToUnits(map::GreatCircleDistance(field.Marker->Centre(), base),
                             map::TGlobeUnitTypes::NauticalMile) <
                    random.Random(kSweepingReachMiles)) {
                field.Density = 1;
            }
        }
        if (MinefieldBlocks(world, ship.Position(), &ship)) {
            ship.SetPosition(map::RandomFreePointNear(world.Chart, ship.Position(), kFreePointYards,
                                                      0, &ship, random));
        }
    } catch (const std::exception& e) {
        world.Messages().Error(std::string("Error in CheckMineHitInField procedure!\r") + e.what());
    }
}

} // namespace tarnwake::engine
