#include "engine/Sighting.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Visibility.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "designs/NationsTable.h"
#include "engine/ContactReports.h"
#include "engine/GameWorld.h"
#include "engine/MinuteBookkeeping.h"
#include "engine/Objectives.h"
#include "engine/SightingPairs.h"
#include "engine/SmokeFloat.h"
#include "engine/Torpedoes.h"
#include "map/Geometry.h"
#include "map/GlobeUnits.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <exception>
#include <utility>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// How far a lookout looks: nothing beyond this is seen, whatever the weather.
constexpr double kLookoutYards = 39999.0;
// An enemy this near makes the followers of a line keep a lookout of their own more often.
constexpr double kCloseEnemyYards = 6000.0;
constexpr double kNearFriendYards = 3000.0;
// A follower in line copies what its flagship sees when the ship lies this well inside the
// range at which it can be seen.
constexpr int kCopyMarginYards = 1000;
// The chances that a follower in line keeps its own lookout, with an enemy out there and with
// one close by.
constexpr int kOwnLookoutTenths = 4;
constexpr int kOwnLookoutNearPercent = 50;
// A follower in line is busy keeping station: most of the time it leaves identification to
// the flagship.
constexpr int kFollowerLooksPercent = 69;

// Battle smoke of the observer's division takes a tenth of the range per level.
constexpr int kBattleSmokeTenth = 10;
// Smoke floats: one across the line of sight leaves a tenth of the range, two hide a ship.
constexpr double kFloatCorridorYards = 200.0;
constexpr int kFloatBearingWindow = 70;
// Small ships' lookouts sit low: beyond 5000 yards they see a tenth less.
constexpr int kLowLookoutYards = 5000;
// A burning ship at night shows its fire.
constexpr int kFireShowsLevel = 1;
constexpr int kFireYardsPerLevel = 1000;
// A yard of slack for the rounding of the chords: a ship farther off than its widest reach is
// passed over unseen without a draw.
constexpr int kReachMargin = 1;

// The identification ranges as tenths of the range at which the ship is seen (and of each
// other): a type is made out at nine tenths, a class at nine tenths of that, and a misread name
// put right at six tenths of the class range. Small ships' lookouts see nine tenths as far.
constexpr int kTypeRangeTenths = 9;
constexpr int kClassRangeTenths = 9;
constexpr int kNameCorrectionTenths = 6;
constexpr int kLowLookoutTenths = 9;

int Tenths(int value, int tenths) {
    return static_cast<int>(core::RoundRatio(std::int64_t{value} * tenths, 10));
}

// Class identification: the dice by circumstance.
constexpr int kClassDice = 20;
constexpr int kClassDiceNeutral = 24;
constexpr int kClassDiceNight = 20;
constexpr int kClassDiceTwilight = 10;
constexpr int kClassDiceThick = 15;
constexpr int kClassCrewBonus = 4;

// Type identification.
constexpr int kTypeDiceNightBase = 19;
constexpr int kTypeDiceNightFighting = 2;
constexpr int kTypeDice = 15;
constexpr int kTypeDiceSmallObserver = 25;
constexpr int kTypeDiceFired = 8;
constexpr int kTypeDiceNeutral = 4;
constexpr int kTypeDiceNight = 10;
constexpr int kTypeDiceTwilight = 5;
constexpr int kTypeDiceThick = 5;
constexpr double kTypeCloseYards = 1999.0;
constexpr int kTypeCloseEasier = 5;
constexpr int kTypeCrewBonus = 3;
constexpr int kKeepOwnCourseAfterTypePercent = 20;

// Detection.
constexpr int kDetectDice = 18;
constexpr int kDetectDiceAstern = 25;
constexpr int kAsternQuadrant = 3;
constexpr int kDetectFireBase = 2;
constexpr int kDetectDiceNight = 10;
constexpr int kDetectNightFighting = 5;
constexpr int kDetectDiceSmallObserver = 10;
constexpr int kDetectCrewBonus = 3;
// A neutral steamer that is sighted turns away on a course within this many degrees of the
// line from its observer.
constexpr int kNeutralTurnSpread = 160;
constexpr int kNeutralTurnHalf = 80;
// Scouts and screens go and look at what they sight, while their stance is no bolder than
// this.
constexpr int kScoutingStance = 1;

// After the pass: levels fall back one in three minutes when the enemy no longer gets near.
constexpr int kForgetDice = 3;
// A ship steering for its own contact gives it up now and again.
constexpr int kOwnCourseDropTenths = 10;
constexpr int kOwnCourseDropNoEnemy = 5;
constexpr int kFunnelSmokeHides = 6;

// Funnel smoke.
constexpr double kFunnelReachMarginYards = 500.0;
constexpr double kFunnelCorridorYards = 150.0;
constexpr double kOwnFunnelCorridorYards = 100.0;
constexpr double kScreenCorridorYards = 180.0;
constexpr int kFloatSmokeWeight = 4;

// Battle smoke.
constexpr int kBattleSmokeNeighbourYards = 30000;
constexpr int kDesignSpeedMargin = 2;
constexpr int kSmokeScreenMinutes = 20;

constexpr double Squared(double x) {
    return x * x;
}

bool Enemies(const TFightingShip& a, const TFightingShip& b) {
    return a.Side != b.Side && a.Side != kNeutralSide && b.Side != kNeutralSide;
}

// A ship burning at night shows its fire farther than it could be seen.
int FireBonus(int light, int fireLevel) {
    return light == combat::kLightNight && fireLevel > kFireShowsLevel
               ? kFireYardsPerLevel * fireLevel + kFireYardsPerLevel
               : 0;
}

bool IsSmallObserver(const TFightingShip& ship) {
    return ship.ShipType == TShipType::DD || ship.ShipType == TShipType::MS ||
           ship.ShipType == TShipType::TR;
}

bool IsCapitalOrArmoured(TShipType type) {
    return designs::TypeIndex(type) <= designs::TypeIndex(TShipType::CA);
}

bool IsNeutral(const TFightingShip& ship) {
    return ship.Side == kNeutralSide;
}

void AddOnce(std::vector<TFightingShip*>& list, TFightingShip* ship) {
    if (std::find(list.begin(), list.end(), ship) == list.end()) {
        list.push_back(ship);
    }
}

// A point's distance across a line of sight and whether its foot falls on the line, on a
// plane laid on the globe at the observer (longitudes shortened by the cosine of the
// latitude): within a few tens of miles that is as good as the sphere.
struct TSightLine {
    double CosLat = 1.0;
    map::TGeoPos From;
    double Dx = 0.0; // to the far end, in latitude units
    double Dy = 0.0;
    double LengthSquared = 0.0;

    TSightLine(const map::TGeoPos& from, const map::TGeoPos& to) : From(from) {
        CosLat = std::cos(static_cast<double>(from.lat) * map::kRadiansPerGlobeUnit);
        Dx = static_cast<double>(map::LongitudeStep(from.lon, to.lon)) * CosLat;
        Dy = static_cast<double>(std::int64_t{to.lat} - from.lat);
        LengthSquared = Dx * Dx + Dy * Dy;
    }
    // Whether `p` lies within `yards` of the line and between its ends.
    bool Near(const map::TGeoPos& p, double yards) const {
        if (LengthSquared <= 0.0) {
            return false;
        }
        const double px = static_cast<double>(map::LongitudeStep(From.lon, p.lon)) * CosLat;
        const double py = static_cast<double>(std::int64_t{p.lat} - From.lat);
        const double t = (px * Dx + py * Dy) / LengthSquared;
        if (t < 0.0 || t > 1.0) {
            return false;
        }
        const double ex = px - t * Dx;
        const double ey = py - t * Dy;
        const double tolerance = yards * map::kGlobeUnitsPerYard;
        return ex * ex + ey * ey < tolerance * tolerance;
    }
};

// Smoke floats lying across the line of sight from `from` to `to` (whose bearing is given).
int CountFloatsAcross(const TGameWorld& world, const map::TGeoPos& from, const map::TGeoPos& to,
                      int bearing) {
    const std::int64_t margin =
        static_cast<std::int64_t>(kFloatCorridorYards * map::kGlobeUnitsPerYard) * 2;
    const std::int64_t lonFar = from.lon + map::LongitudeStep(from.lon, to.lon);
    const std::int64_t west = std::min<std::int64_t>(from.lon, lonFar) - margin;
    const std::int64_t east = std::max<std::int64_t>(from.lon, lonFar) + margin;
    const std::int64_t south = std::min(from.lat, to.lat) - margin;
    const std::int64_t north = std::max(from.lat, to.lat) + margin;
    const TSightLine line(from, to);
    int count = 0;
    for (const auto& smoke : world.SmokeFloats) {
        const map::TGeoPos& p = smoke->Origin;
        const std::int64_t lon = from.lon + map::LongitudeStep(from.lon, p.lon);
        if (lon < west || lon > east || p.lat < south || p.lat > north ||
            !line.Near(p, kFloatCorridorYards)) {
            continue;
        }
        if (map::CourseDifference(map::BearingBetween(from, p), bearing) < kFloatBearingWindow) {
            ++count;
        }
    }
    return count;
}

class TSightingPass {
public:
    explicit TSightingPass(TGameWorld& world)
        : world_(world), pairs_(world.SightingPairs), random_(world.Random()),
          thick_(combat::IsThickWeather(world.Environment.Weather)),
          watching_(world.PlayerSide == kWatchingSide),
          year_(core::DecodeDateTime(world.Clock).year) {}

    bool Run();

private:
    void OpenMinute();
    void ResetShips();
    void LookOut(TDivision& division);
    void CopyFlagship(TFightingShip& ship, int slot, TFightingShip& flagship);
    void Examine(TDivision& division, TFightingShip& observer, int slot, bool follower);
    void ExamineFriend(const TDivision& division, int slot, int t, double chordSquared);
    void MarkBand(double z);
    void ExamineEnemy(TDivision& division, TFightingShip& observer, int slot, int t, double range,
                      bool follower);
    void IdentifyClass(TFightingShip& observer, TFightingShip& target, int t, double range,
                       double classRange);
    void IdentifyType(TDivision& division, TFightingShip& observer, TFightingShip& target, int t,
                      double range, double typeRange);
    void Detect(TDivision& division, TFightingShip& observer, int slot, TFightingShip& target,
                int t, double range);
    bool LandBetween(const TFightingShip& observer, int slot, int t);
    void AfterThePass(TFightingShip& ship);
    void ShowMarkers();

    int VisibilityWithJitter(int t);
    int SmokeFloatsAcross(int slot, int t);
    bool PlayerForce(const TFightingShip& ship) const;
    bool PlayerHearsOf(const TFightingShip& observer) const {
        return watching_ || PlayerForce(observer);
    }
    void RequestBreak(const char* reason) {
        breakRequested_ = true;
        world_.Log.AddBreakReason(reason);
    }

    TGameWorld& world_;
    TSightingPairs& pairs_;
    core::TRandomGenerator& random_;
    const bool thick_;
    const bool watching_;
    const int year_;
    // The lookout's reach and the near friends' circle as squared chords, which the scan
    // compares without measuring ranges.
    const double reachChordSquared_ = Squared(map::ChordOfYards(kLookoutYards));
    const double nearFriendChordSquared_ = Squared(map::ChordOfYards(kNearFriendYards));
    const double closeEnemyChordSquared_ = Squared(map::ChordOfYards(kCloseEnemyYards));
    // What the scan reads of every ship, side by side in memory.
    struct TLookout {
        double X = 0.0;
        double Y = 0.0;
        double Z = 0.0;
        double MostChordSquared = 0.0; // the farthest it can be seen at, as a squared chord
        int Side = 0;
        bool InPlay = false;
        bool SeenByFriend = false;
    };
    std::vector<TLookout> lookouts_;
    // The ships by the height of their unit vectors (their latitude), and the chord of the
    // widest reach of the minute: the band a lookout scans.
    std::vector<std::pair<double, int>> byLatitude_;
    double bandChord_ = 0.0;
    std::vector<std::uint64_t> band_;
    bool breakRequested_ = false;
    bool identified_ = false;
    // What the ships of the division now looking out have found so far.
    bool enemyOut_ = false;
    bool enemyClose_ = false;
    std::vector<int> lights_;
    std::vector<int> lightRanges_;
};

bool TSightingPass::Run() {
    OpenMinute();
    ResetShips();
    for (std::size_t i = 0; i < world_.Divisions.size(); ++i) {
        TDivision& division = *world_.Divisions[i];
        // A failure ends the lookout of the minute: what was seen so far stands.
        if (!core::RunGuarded(world_.Messages(), "Checksightings",
                              "Division: " + division.DivisionName, [&] { LookOut(division); })) {
            break;
        }
    }
    for (const auto& ship : world_.Ships) {
        try {
            AfterThePass(*ship);
        } catch (const std::exception& e) {
            world_.Messages().Error(
                "Error in Checksightings procedure - Reset sighting levels!\nShip: " + ship->Name +
                "\n" + e.what());
        }
    }
    ShowMarkers();
    if (identified_ || AnyTorpedoRunning(world_)) {
        ApplySpeedCap(world_);
    }
    return breakRequested_;
}

void TSightingPass::OpenMinute() {
    const combat::TSunPoint sun = combat::SubSolarPoint(world_.Clock);
    const combat::TSightingRanges ranges{world_.Environment.DayRange,
                                         world_.Environment.NightRange};
    pairs_.Open(world_.Ships, world_.Divisions);
    lights_.resize(world_.Ships.size());
    lightRanges_.resize(world_.Ships.size());
    for (std::size_t i = 0; i < world_.Ships.size(); ++i) {
        TFightingShip& ship = *world_.Ships[i];
        const int slot = static_cast<int>(i);
        ship.LightState = combat::LightCondition(pairs_.At(slot).Sphere, sun);
        lights_[i] = ship.LightState;
        lightRanges_[i] = combat::LightVisibility(ship.LightState, ranges, ship.CurrentSpeed);
        pairs_.SetLight(slot, lights_[i], lightRanges_[i]);
    }
    lookouts_.resize(world_.Ships.size());
    // Near friends are looked for within a smaller circle than anything can be seen.
    int widestReach = static_cast<int>(kNearFriendYards);
    const int widest =
        combat::IsThickWeather(world_.Environment.Weather) ? combat::kMostJitterYards : 0;
    for (std::size_t i = 0; i < world_.Ships.size(); ++i) {
        const TFightingShip& ship = *world_.Ships[i];
        const map::TSpherePoint& p = pairs_.At(static_cast<int>(i)).Sphere;
        // The farthest this ship could be seen at this minute, whatever the dice: beyond it
        // nothing is drawn for it.
        const int most = combat::ScaledVisibility(lightRanges_[i] + widest, ship.ShipType,
                                                  lights_[i], ship.FiredLastMinute) +
                         FireBonus(lights_[i], ship.FireLevel);
        lookouts_[i] = {
            p.X,       p.Y,           p.Z,  Squared(map::ChordOfYards(most + kReachMargin)),
            ship.Side, ship.InPlay(), false};
        widestReach = std::max(widestReach, most + kReachMargin);
    }
    byLatitude_.resize(lookouts_.size());
    for (std::size_t i = 0; i < lookouts_.size(); ++i) {
        byLatitude_[i] = {lookouts_[i].Z, static_cast<int>(i)};
    }
    std::sort(byLatitude_.begin(), byLatitude_.end());
    bandChord_ = map::ChordOfYards(std::max(widestReach, static_cast<int>(kCloseEnemyYards)));
    band_.assign((lookouts_.size() + 63) / 64, 0);
}

void TSightingPass::ResetShips() {
    for (const auto& ship : world_.Ships) {
        TFightingShip& s = *ship;
        s.SeenThisMinute = false;
        s.SeenByPlayerThisMinute = false;
        s.SeenByFriend = false;
        s.WithinTypeRange = false;
        s.WithinClassRange = false;
        s.NewlySighted = false;
        s.CapitalShipInSight = false;
        s.PreviousSightingLevel = s.SightingLevel;
        s.Sighted.clear();
        s.NearFriends.clear();
    }
}

bool TSightingPass::PlayerForce(const TFightingShip& ship) const {
    if (watching_ || ship.Side != world_.PlayerSide) {
        return false;
    }
    const int slot = pairs_.Slot(ship);
    const TDivision* division = slot >= 0 ? pairs_.At(slot).Division : nullptr;
    return division == nullptr || division->Force == nullptr || !division->Force->AIControl;
}

void TSightingPass::LookOut(TDivision& division) {
    division.MustDecide = false;
    if (division.IsNeutral()) {
        return;
    }
    enemyOut_ = false;
    enemyClose_ = false;
    TFightingShip* flagship = division.Flagship();
    for (std::size_t i = 0; i < division.Ships.size(); ++i) {
        TFightingShip& ship = *division.Ships[i];
        const int slot = pairs_.Slot(ship);
        if (slot < 0) {
            continue;
        }
        const bool inLine = division.Formation == combat::formLineAhead;
        const bool ownLookout = i == 0 || !inLine ||
                                (enemyOut_ && random_.Random(10) < kOwnLookoutTenths) ||
                                (enemyClose_ && random_.Random(100) < kOwnLookoutNearPercent);
        if (!ownLookout) {
            CopyFlagship(ship, slot, *flagship);
            continue;
        }
        if (ship.InPlay()) {
            Examine(division, ship, slot, i > 0 && inLine);
        }
    }
}

void TSightingPass::CopyFlagship(TFightingShip& ship, int slot, TFightingShip& flagship) {
    // The flagship's friends are the follower's, the follower itself standing in for the
    // flagship: a ship is never its own near friend.
    ship.NearFriends = flagship.NearFriends;
    std::replace(ship.NearFriends.begin(), ship.NearFriends.end(), &ship, &flagship);
    if (!enemyOut_ || !ship.Sighted.empty()) {
        return;
    }
    for (TFightingShip* other : flagship.Sighted) {
        const int t = pairs_.Slot(*other);
        if (t < 0) {
            continue;
        }
        const int reach =
            combat::ScaledVisibility(lightRanges_[static_cast<std::size_t>(t)], other->ShipType,
                                     lights_[static_cast<std::size_t>(t)], other->FiredLastMinute);
        if (pairs_.Range(slot, t) < reach - kCopyMarginYards) {
            ship.Sighted.push_back(other);
        }
    }
}

void TSightingPass::Examine(TDivision& division, TFightingShip& observer, int slot, bool follower) {
    const TLookout from = lookouts_[static_cast<std::size_t>(slot)];
    const bool neutralsAreFriends = observer.Side != world_.PlayerSide;
    const auto isFriend = [&](const TLookout& other) {
        return other.Side == observer.Side || (other.Side == kNeutralSide && neutralsAreFriends);
    };
    const auto chordSquaredTo = [&from](const TLookout& other) {
        const double dx = other.X - from.X;
        const double dy = other.Y - from.Y;
        const double dz = other.Z - from.Z;
        return dx * dx + dy * dy + dz * dz;
    };
    // Only ships within the band of latitude that the widest reach of the minute spans can
    // matter; they are taken in the order of the world's list, which the rolls follow.
    MarkBand(from.Z);
    for (std::size_t word = 0; word < band_.size(); ++word) {
        for (std::uint64_t bits = band_[word]; bits != 0; bits &= bits - 1) {
            const int t =
                static_cast<int>(word * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
            const TLookout& other = lookouts_[static_cast<std::size_t>(t)];
            const double chordSquared = chordSquaredTo(other);
            if (chordSquared > reachChordSquared_ || t == slot || !other.InPlay) {
                continue;
            }
            if (isFriend(other)) {
                ExamineFriend(division, slot, t, chordSquared);
                continue;
            }
            enemyOut_ = true;
            if (chordSquared < closeEnemyChordSquared_) {
                enemyClose_ = true;
            }
            if (chordSquared < other.MostChordSquared) {
                ExamineEnemy(division, observer, slot, t,
                             map::YardsOfChord(std::sqrt(chordSquared)), follower);
            }
        }
    }
    // An enemy beyond the band but within the lookout's reach still puts the division on its
    // guard.
    if (!enemyOut_) {
        enemyOut_ = std::any_of(lookouts_.begin(), lookouts_.end(), [&](const TLookout& other) {
            return other.InPlay && !isFriend(other) && chordSquaredTo(other) <= reachChordSquared_;
        });
    }
}

void TSightingPass::MarkBand(double z) {
    std::fill(band_.begin(), band_.end(), 0);
    const auto low = std::lower_bound(byLatitude_.begin(), byLatitude_.end(),
                                      std::pair<double, int>{z - bandChord_, -1});
    for (auto it = low; it != byLatitude_.end() && it->first <= z + bandChord_; ++it) {
        const auto slot = static_cast<std::size_t>(it->second);
        band_[slot / 64] |= std::uint64_t{1} << (slot % 64);
    }
}

int TSightingPass::VisibilityWithJitter(int t) {
    const TFightingShip& ship = *world_.Ships[static_cast<std::size_t>(t)];
    const int light = lights_[static_cast<std::size_t>(t)];
    const int range = lightRanges_[static_cast<std::size_t>(t)] +
                      combat::VisibilityJitter(world_.Environment.Weather, random_);
    return combat::ScaledVisibility(range, ship.ShipType, light, ship.FiredLastMinute);
}

void TSightingPass::ExamineFriend(const TDivision& division, int slot, int t, double chordSquared) {
    TLookout& other = lookouts_[static_cast<std::size_t>(t)];
    // Once a friend has seen the ship, nothing more is learnt by looking again: no draw.
    if (!other.SeenByFriend && !division.ReportsBySignal && chordSquared < other.MostChordSquared &&
        map::YardsOfChord(std::sqrt(chordSquared)) <= VisibilityWithJitter(t)) {
        other.SeenByFriend = true;
        world_.Ships[static_cast<std::size_t>(t)]->SeenByFriend = true;
    }
    if (chordSquared < nearFriendChordSquared_) {
        world_.Ships[static_cast<std::size_t>(slot)]->NearFriends.push_back(
            world_.Ships[static_cast<std::size_t>(t)].get());
    }
}

int TSightingPass::SmokeFloatsAcross(int slot, int t) {
    if (world_.SmokeFloats.empty()) {
        return 0;
    }
    return CountFloatsAcross(world_, pairs_.At(slot).Position, pairs_.At(t).Position,
                             pairs_.Bearing(slot, t));
}

void TSightingPass::ExamineEnemy(TDivision& division, TFightingShip& observer, int slot, int t,
                                 double range, bool follower) {
    TFightingShip& target = *world_.Ships[static_cast<std::size_t>(t)];
    int m = VisibilityWithJitter(t) * (100 - kBattleSmokeTenth * division.BattleSmokeLevel) / 100;
    const int floats = SmokeFloatsAcross(slot, t);
    m -= m * floats * 9 / 10;
    if (IsSmallObserver(observer) && m > kLowLookoutYards) {
        m = Tenths(m, kLowLookoutTenths);
    }
    const int light = lights_[static_cast<std::size_t>(t)];
    const int fireBonus = FireBonus(light, target.FireLevel);
    // Land between the two hides the target like any other cover: nothing is seen, made out
    // or reported through an island.
    if (!(range < m + fireBonus) || LandBetween(observer, slot, t)) {
        return;
    }
    observer.SeenThisMinute = true;
    target.SeenThisMinute = true;
    if (target.SightingLevel > combat::kUnseen) {
        if (!IsNeutral(target)) {
            AddOnce(observer.Sighted, &target);
        }
        if (PlayerForce(observer)) {
            target.SeenByPlayerThisMinute = true;
        }
    }

    if (follower) {
        m = (m / 4) * 3;
    }
    const int typeRange = Tenths(m, kTypeRangeTenths);
    const int classRange = Tenths(typeRange, kClassRangeTenths);
    if (follower && random_.Random(100) > kFollowerLooksPercent) {
        return;
    }
    const int weather = world_.Environment.Weather;
    if (range < Tenths(classRange, kNameCorrectionTenths) && light == combat::kLightDay &&
        weather >= combat::kClear && weather <= combat::kOvercast) {
        target.ReportedClass = target.EnemyClassName;
    }
    IdentifyClass(observer, target, t, range, classRange);
    IdentifyType(division, observer, target, t, range, typeRange);
    Detect(division, observer, slot, target, t, range);
}

void TSightingPass::IdentifyClass(TFightingShip& observer, TFightingShip& target, int t,
                                  double range, double classRange) {
    if (range > classRange) {
        return;
    }
    target.WithinClassRange = true;
    const int light = lights_[static_cast<std::size_t>(t)];
    int dice = IsNeutral(target) ? kClassDiceNeutral : kClassDice;
    dice += light == combat::kLightNight  ? kClassDiceNight
            : light == combat::kLightDusk ? kClassDiceTwilight
                                          : 0;
    dice += thick_ ? kClassDiceThick : 0;
    if (random_.Random(dice) >= observer.CrewQuality + kClassCrewBonus) {
        return;
    }
    if (!IsNeutral(target)) {
        AddOnce(observer.Sighted, &target);
    }
    if (target.PreviousSightingLevel != combat::kTypeIdentified ||
        target.SightingLevel != combat::kTypeIdentified) {
        return;
    }
    target.SightingLevel = combat::kClassIdentified;
    target.ReportedClass = combat::IdentifyClass(target.ReportedClass, target.EnemyClassName,
                                                 target.MisidentifiedClassName, random_);
    observer.OwnCourse = false;
    if (PlayerHearsOf(observer)) {
        const std::string what =
            IsNeutral(target)
                ? std::string(designs::TypeCode(target.ShipType)) + " as neutral steamer"
                : target.IdentifiedType + " as " + target.ReportedClass + "-class";
        world_.Log.AddLogLine(observer.Name + " identifies " + what, &observer);
    }
}

void TSightingPass::IdentifyType(TDivision& division, TFightingShip& observer,
                                 TFightingShip& target, int t, double range, double typeRange) {
    const int light = lights_[static_cast<std::size_t>(t)];
    const int nightFighting = world_.NationOf(observer).NightFighting;
    int dice = light == combat::kLightNight
                   ? kTypeDiceNightBase - kTypeDiceNightFighting * nightFighting
                   : (IsSmallObserver(observer) ? kTypeDiceSmallObserver : kTypeDice);
    dice -= target.FiredLastMinute ? kTypeDiceFired : 0;
    dice += IsNeutral(target) ? kTypeDiceNeutral : 0;
    dice += light == combat::kLightNight  ? kTypeDiceNight
            : light == combat::kLightDusk ? kTypeDiceTwilight
                                          : 0;
    dice += thick_ ? kTypeDiceThick : 0;
    if (range > typeRange) {
        return;
    }
    target.WithinTypeRange = true;
    identified_ = true;
    const int roll = random_.Random(range > kTypeCloseYards ? dice : dice - kTypeCloseEasier);
    const bool firedAtObserver = target.FiredLastMinute && target.CurrentTarget == &observer;
    if (roll >= observer.CrewQuality + kTypeCrewBonus && !firedAtObserver) {
        return;
    }
    if (!IsNeutral(target)) {
        AddOnce(observer.Sighted, &target);
    }
    if (target.PreviousSightingLevel != combat::kSighted ||
        target.SightingLevel != combat::kSighted) {
        return;
    }
    target.SightingLevel = combat::kTypeIdentified;
    const int slotOfTarget = t;
    const TDivision* targetDivision = pairs_.At(slotOfTarget).Division;
    const TFightingShip* targetFlag =
        targetDivision != nullptr ? targetDivision->Flagship() : nullptr;
    const std::string flagType = targetFlag != nullptr ? targetFlag->IdentifiedType : "";
    target.IdentifiedType = combat::IdentifyType(target.IdentifiedType, flagType, target.ShipType,
                                                 target.Displacement, year_, random_);
    if (PlayerHearsOf(observer)) {
        world_.Log.AddLogLine(
            observer.Name + " identifies unknown ship as " + target.IdentifiedType, &observer);
        if (world_.Preferences.Log.BreakOnId >= designs::TypeIndex(target.ShipType)) {
            RequestBreak("Ship type identified");
        }
    }
    if (division.ReportsBySignal) {
        CreateReport(world_, target, observer);
    }
    CreateReportExactForAI(world_, target, observer);
    if (random_.Random(100) < kKeepOwnCourseAfterTypePercent) {
        observer.OwnCourse = false;
    }
    ReactToIdentification(world_, observer);
    OfferImportantEnemy(world_, observer.Side, target);
    if (observer.ShipType != TShipType::TR && division.Force != nullptr) {
        AddOnce(division.Force->KnownEnemies, &target);
    }
    if (IsCapitalOrArmoured(target.ShipType)) {
        observer.CapitalShipInSight = true;
    }
}

void TSightingPass::Detect(TDivision& division, TFightingShip& observer, int slot,
                           TFightingShip& target, int t, double range) {
    const int bearing = pairs_.Bearing(slot, t);
    const int relative = map::AddBearing(bearing, -observer.Course());
    const int quadrant = ((relative + 45) % 360) / 90 + 1;
    int dice = quadrant == kAsternQuadrant ? kDetectDiceAstern : kDetectDice;
    if (lights_[static_cast<std::size_t>(t)] == combat::kLightNight) {
        if (target.FireLevel > kFireShowsLevel) {
            dice -= target.FireLevel + kDetectFireBase;
        } else {
            dice +=
                kDetectDiceNight - kDetectNightFighting * world_.NationOf(observer).NightFighting;
        }
    } else if (IsSmallObserver(observer)) {
        dice += kDetectDiceSmallObserver;
    }
    if (random_.Random(dice) >= observer.CrewQuality + kDetectCrewBonus &&
        !target.WithinTypeRange && !target.FiredLastMinute) {
        return;
    }
    if (!IsNeutral(target)) {
        AddOnce(observer.Sighted, &target);
    }
    if (target.SightingLevel != combat::kUnseen) {
        return;
    }
    target.SightingLevel = combat::kSighted;
    const bool scouting = division.Formation == combat::formSearchLine ||
                          division.Formation == combat::formScreen ||
                          division.Role == combat::roleScout;
    if (scouting && division.TacticalStance <= kScoutingStance) {
        bool nearerEnemy = false;
        for (const TFightingShip* other : observer.Sighted) {
            if (other != &target && Enemies(observer, *other) &&
                pairs_.Range(observer, *other) < range) {
                nearerEnemy = true;
                break;
            }
        }
        if (!nearerEnemy) {
            observer.OrderedCourse = bearing;
            observer.OwnCourse = true;
        }
    }
    target.NewlySighted = true;
    // The new contact shows on the player's chart at once.
    if (PlayerForce(observer)) {
        target.SeenByPlayerThisMinute = true;
    }
    if (IsNeutral(target)) {
        if (TDivision* neutral = pairs_.At(t).Division) {
            neutral->Course =
                map::AddBearing(bearing, random_.Random(kNeutralTurnSpread) - kNeutralTurnHalf);
        }
    }
    if (!division.IsNeutral() && PlayerHearsOf(observer)) {
        TSide& side = world_.Sides[static_cast<std::size_t>(observer.Side)];
        if (!side.Alerted) {
            // The first sighting of the side is news enough for a message of its own; the
            // rest go to the log.
            world_.Messages().Inform("Unknown ship sighted!");
            side.Alerted = true;
            RequestBreak("Sighting");
        }
        if (world_.Preferences.Log.BreakOnNewSighting) {
            RequestBreak("Sighting");
        }
        world_.Log.AddLogLine(observer.Name + " sights an unknown ship", &observer);
    }
}

bool TSightingPass::LandBetween(const TFightingShip& observer, int slot, int t) {
    if (!world_.Preferences.LOScalc || observer.IsLandTarget()) {
        return false;
    }
    const TFightingShip& target = *world_.Ships[static_cast<std::size_t>(t)];
    return pairs_.LandBetween(slot, t, target.IsLandTarget(), world_.Chart);
}

void TSightingPass::AfterThePass(TFightingShip& ship) {
    if (ship.SightingLevel > combat::kUnseen) {
        if (!ship.SeenThisMinute) {
            ship.SightingLevel = combat::kUnseen;
            ship.IdentifiedType.clear();
        } else {
            ship.LastKnownPosition = ship.Position();
            if (ship.SightingLevel == combat::kClassIdentified && !ship.WithinClassRange) {
                if (random_.Random(kForgetDice) == 1) {
                    ship.SightingLevel = combat::kTypeIdentified;
                }
            } else if (ship.SightingLevel == combat::kTypeIdentified && !ship.WithinTypeRange) {
                if (random_.Random(kForgetDice) == 1) {
                    ship.SightingLevel = combat::kSighted;
                }
            }
        }
    }
    if (world_.Preferences.CountFunnelSmoke) {
        auto& list = ship.Sighted;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](TFightingShip* other) {
                                      return FunnelSmokeCount(world_, ship, *other) >=
                                             kFunnelSmokeHides;
                                  }),
                   list.end());
    }
    if (ship.OwnCourse) {
        if (HasEnemyInSight(ship)) {
            if (random_.Random(kOwnCourseDropTenths) == 1) {
                ship.OwnCourse = false;
            } else {
                double range = 0.0;
                if (const TFightingShip* enemy = NearestSightedEnemy(ship, false, range)) {
                    ship.OrderedCourse = pairs_.Bearing(ship, *enemy);
                }
            }
        } else if (random_.Random(kOwnCourseDropNoEnemy) == 1) {
            ship.OwnCourse = false;
        }
    }
}

void TSightingPass::ShowMarkers() {
    RefreshShipMarkers(world_);
}

} // namespace

bool CheckSightingsPass(TGameWorld& world) {
    TSightingPass pass(world);
    return pass.Run();
}

void Checksightings(TGameWorld& world) {
    // A pause the player asked for during the minute stands, whatever the lookouts found.
    if (CheckSightingsPass(world)) {
        world.PausePending = true;
    }
}

void RefreshShipMarkers(TGameWorld& world) {
    const bool watching = world.PlayerSide == kWatchingSide;
    for (const auto& ship : world.Ships) {
        TFightingShip& s = *ship;
        if (s.Marker == nullptr) {
            continue;
        }
        const bool computerSide =
            IsNeutral(s) || ((s.Side == 0 || s.Side == 1) &&
                             world.Sides[static_cast<std::size_t>(s.Side)].ComputerCommanded);
        if (watching || !computerSide) {
            s.Marker->SetHidden(false);
            continue;
        }
        s.Marker->SetHidden(!(s.SightingLevel >= combat::kSighted && s.SeenByPlayerThisMinute));
    }
    for (const auto& division : world.Divisions) {
        // The other side's flags and tracks are never shown: the player knows the ships he
        // sees, not their squadrons nor where they have been.
        const bool computerSide =
            division->IsNeutral() ||
            ((division->Side == 0 || division->Side == 1) &&
             world.Sides[static_cast<std::size_t>(division->Side)].ComputerCommanded);
        for (map::TGeoDataObject* marker :
             {static_cast<map::TGeoDataObject*>(division->FlagMarker.get()),
              division->Track.get()}) {
            if (marker != nullptr) {
                marker->SetHidden(computerSide && !watching);
            }
        }
    }
    for (const auto& division : world.Divisions) {
        const TFightingShip* flagship = division->Flagship();
        if (flagship == nullptr || division->FlagMarker == nullptr ||
            division->Side != world.PlayerSide || !flagship->SeenByFriend) {
            continue;
        }
        division->FlagMarker->MoveTo(flagship->Position());
        division->FlagMarker->SetHidden(false);
    }
}

int FireGlowYards(const TFightingShip& ship) {
    return FireBonus(ship.LightState, ship.FireLevel);
}

int VisibilityRange(TGameWorld& world, const TFightingShip& ship, bool weatherJitter) {
    int light = 0;
    int range = 0;
    if (const TSightingPairs::TShipMinute* m = world.SightingPairs.Find(ship)) {
        light = m->Light;
        range = m->LightRange;
    } else {
        light = combat::LightCondition(ship.Position(), world.Clock);
        range = combat::LightVisibility(
            light, {world.Environment.DayRange, world.Environment.NightRange}, ship.CurrentSpeed);
    }
    if (weatherJitter) {
        range += combat::VisibilityJitter(world.Environment.Weather, world.Random());
    }
    return combat::ScaledVisibility(range, ship.ShipType, light, ship.FiredLastMinute);
}

int FunnelSmokeCount(TGameWorld& world, const TFightingShip& observer,
                     const TFightingShip& target) {
    const map::TGeoPos from = observer.Position();
    const map::TGeoPos to = target.Position();
    const double range = world.SightingPairs.Range(observer, target);
    const int bearing = world.SightingPairs.Bearing(observer, target);
    const TSightLine line(from, to);
    const double cutChord = map::ChordOfYards(range + kFunnelReachMarginYards);
    const double cutChordSquared = cutChord * cutChord;
    const auto sphereOf = [&world](const TFightingShip& ship) {
        const TSightingPairs::TShipMinute* m = world.SightingPairs.Find(ship);
        return m != nullptr ? m->Sphere : map::SpherePoint(ship.Position());
    };
    const map::TSpherePoint origin = sphereOf(observer);
    int count = 0;
    for (const auto& s : world.Ships) {
        const int weight = combat::FunnelSmokeWeight(s->ShipType);
        if (weight == 0 || s->Sunk || map::ChordSquared(origin, sphereOf(*s)) > cutChordSquared) {
            continue;
        }
        if (s.get() != &observer) {
            // The nearer a smoking ship, the wider the arc of sky its smoke covers.
            const double r = world.SightingPairs.Range(observer, *s);
            const int window = r < 1000.0 ? 50 : r < 2000.0 ? 30 : r < 5000.0 ? 20 : 15;
            if (map::CourseDifference(world.SightingPairs.Bearing(observer, *s), bearing) >
                window) {
                continue;
            }
        }
        if (s.get() != &target) {
            // The newest point of the observer's own trail is at its funnels, not across the
            // line.
            const bool own = s.get() == &observer;
            const double corridor = own ? kOwnFunnelCorridorYards : kFunnelCorridorYards;
            for (std::size_t k = own ? 1 : 0; k < s->FunnelTrail.size(); ++k) {
                const auto& point = s->FunnelTrail[k];
                if (point.Present && line.Near(point.At, corridor)) {
                    count += weight;
                }
            }
        }
        for (const auto& point : s->ScreenTrail) {
            if (point.Present && line.Near(point.At, kScreenCorridorYards)) {
                count += weight;
            }
        }
    }
    return count + kFloatSmokeWeight * CountFloatsAcross(world, from, to, bearing);
}

int SmokeFloatsAcross(const TGameWorld& world, const TFightingShip& observer,
                      const TFightingShip& target) {
    if (world.SmokeFloats.empty()) {
        return 0;
    }
    return CountFloatsAcross(world, observer.Position(), target.Position(),
                             world.SightingPairs.Bearing(observer, target));
}

int SmokeInterference(TGameWorld& world, const TFightingShip& firer, const TFightingShip& target) {
    if (world.Preferences.CountFunnelSmoke) {
        return FunnelSmokeCount(world, firer, target) / kFloatSmokeWeight;
    }
    return SmokeFloatsAcross(world, firer, target);
}

void UpdateBattleSmoke(TGameWorld& world, TDivision& division) {
    TFightingShip* flagship = division.Flagship();
    if (flagship == nullptr) {
        return;
    }
    core::TRandomGenerator& random = world.Random();
    const int wind = world.Environment.WindForce;
    if (flagship->FiredThisMinute) {
        ++division.Accusmoke;
    }
    if (flagship->CurrentSpeed >= flagship->Speed - kDesignSpeedMargin &&
        random.Random(5 * wind + 100) < 50) {
        ++division.Accusmoke;
    }
    if (flagship->SmokeMinutes > kSmokeScreenMinutes) {
        ++division.Accusmoke;
    }
    if (random.Random(60 - 2 * wind) < division.Accusmoke) {
        division.Accusmoke = std::max(0, division.Accusmoke - 1);
    }
    int n = 0;
    for (const auto& other : world.Divisions) {
        const TFightingShip* otherFlag = other->Flagship();
        if (otherFlag == nullptr ||
            world.SightingPairs.Range(*flagship, *otherFlag) > kBattleSmokeNeighbourYards) {
            continue;
        }
        const bool counts = other->Ships.size() > 1 ||
                            (random.Random(100) < 50 && IsCapitalOrArmoured(otherFlag->ShipType));
        if (!counts) {
            continue;
        }
        if (other->Accusmoke > wind + 38) {
            n += 2;
        } else if (other->Accusmoke > wind + 28) {
            n += 1;
        }
    }
    division.BattleSmokeLevel = n > 2 * wind + 18 ? 2 : n > wind + 10 ? 1 : 0;
}

void CheckSightingAreas(TGameWorld&, TDivision&) {}

void OfferImportantEnemy(TGameWorld& world, int side, const TFightingShip& enemy) {
    if (side != 0 && side != 1) {
        return;
    }
    TSide& record = world.Sides[static_cast<std::size_t>(side)];
    const TFightingShip* important = world.FindShip(record.ImportantEnemy);
    if (important == nullptr || important->Displacement < enemy.Displacement) {
        record.ImportantEnemy = enemy.Id;
        record.ImportantEnemyPosition = enemy.Position();
    }
}

bool HasEnemyInSight(const TFightingShip& ship) {
    return std::any_of(ship.Sighted.begin(), ship.Sighted.end(), [&ship](const TFightingShip* o) {
        return o != nullptr && Enemies(ship, *o);
    });
}

bool AnyEnemyInSight(const TGameWorld& world) {
    return std::any_of(world.Ships.begin(), world.Ships.end(),
                       [](const auto& s) { return HasEnemyInSight(*s); });
}

TFightingShip* NearestSightedEnemy(const TFightingShip& ship, bool landTargets, double& range) {
    TFightingShip* nearest = nullptr;
    range = 0.0;
    for (TFightingShip* other : ship.Sighted) {
        if (other == nullptr || !Enemies(ship, *other) || (landTargets && !other->IsLandTarget())) {
            continue;
        }
        const double r = map::RangeYards(ship.Position(), other->Position());
        if (nearest == nullptr || r < range) {
            nearest = other;
            range = r;
        }
    }
    return nearest;
}

const std::vector<TFightingShip*>& NearFriends(const TGameWorld&, const TFightingShip& ship) {
    return ship.NearFriends;
}

} // namespace tarnwake::engine
