#include "combat/FightingShip.h"

#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "designs/DesignFile.h"
#include "map/GeoDataObject.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"
#include "map/GlobeUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace tarnwake::combat {

using core::Div;
using core::Round;
using designs::kMainGuns;
using designs::kSecondaryGuns;
using designs::kTertiaryGuns;
using designs::TShipType;

namespace {

// The damage percentages at which the damage states change: light up to 30, heavy from 60.
constexpr int kLightDamagePercent = 30;
constexpr int kHeavyDamagePercent = 60;
constexpr int kHighestDamageStatePercent = 300;

constexpr int kEngineDisabledLimitTons = 1400; // smaller ships stop dead when the engines go
constexpr int kOutOfFuelSpeed = 5;
constexpr int kDestroyerRangeLoss = 500;
constexpr int kMaxFuelTableSpeed = 100;
constexpr int kFuelRateBeyondTable = 1000;

// Fuel burned per hour, in tenths, at 0 .. 32 knots; from 33 knots on the last value holds.
constexpr std::array<int, 33> kFuelHsc{1,   14,  14,  14,  14,  14,  15,  15,  15,  15,  16,
                                       18,  22,  26,  32,  38,  45,  57,  66,  77,  94,  111,
                                       128, 145, 162, 179, 196, 213, 230, 330, 430, 530, 630};
constexpr std::array<int, 33> kFuelOther{1,   14,  14,  14,  14,  14,  15,  15,  15,  15,  16,
                                         18,  22,  26,  32,  38,  46,  58,  68,  80,  100, 127,
                                         142, 170, 220, 290, 370, 450, 540, 640, 740, 840, 940};
constexpr int kFuelHscFast = 730;    // 33 knots and above
constexpr int kFuelOtherFast = 1040; // 33 knots and above

int Percentage(int max, int current) {
    if (max == 0) {
        return 0;
    }
    return static_cast<int>(Round(static_cast<double>(max - current) / max * 100.0));
}

// Starting ammunition per gun: quick-firing guns of 6 inches and less carry far more rounds
// than the heavy guns.
int RoundsPerGun(int calibre, int light, int heavy) {
    if (calibre >= 3 && calibre <= 6) {
        return light;
    }
    if (calibre >= 7 && calibre <= 18) {
        return heavy;
    }
    return 0;
}

// Ships that may block a line of fire: within this many degrees of the target's bearing and
// this many yards of the line to it.
constexpr int kInBetweenArc = 70;
constexpr double kInBetweenYards = 300.0;
constexpr double kDegreesToRadians = 3.14159265358979323846 / 180.0;
// Near the poles a degree of longitude shrinks to nothing; the box is not widened further.
constexpr double kMinLongitudeScale = 0.01;

} // namespace

TFightingShip::TFightingShip() : Marker(std::make_unique<TShipLocation>(nullptr)) {}

TFightingShip::~TFightingShip() = default;

namespace {
constexpr int kMilliPerCircle = 360 * 1000;
}

void TFightingShip::SetCourse(int course) {
    SetCourseMilli(map::NormaliseCourse(course) * 1000);
}

void TFightingShip::SetCourseMilli(int milli) {
    headingMilli_ = ((milli % kMilliPerCircle) + kMilliPerCircle) % kMilliPerCircle;
}

int TFightingShip::RoundedCourse(int milli) {
    // Half a degree and more rounds up (half to even, as the rules round), and 359.5 and
    // above is north again.
    return static_cast<int>(core::Round(milli / 1000.0)) % 360;
}

void TFightingShip::PlaceOnLayer(map::TGlobeLayer* shipLayer) {
    auto marker = std::make_unique<TShipLocation>(shipLayer);
    marker->SetStoredPoint(Position());
    marker->SetRef(Marker->Ref());
    marker->SetTitle(Marker->Title());
    marker->SetPresenterID(Marker->PresenterID());
    Marker = std::move(marker);
}

int TFightingShip::TrueBearingToShip(const TFightingShip* other, core::IMessages& messages) const {
    if (other == nullptr) {
        messages.Warn("Warning! Cannot get bearing to nil ship!" + Name);
        return 0;
    }
    if (other == this) {
        messages.Warn("Warning! Cannot get bearing to self!" + Name);
        return 0;
    }
    return map::BearingBetween(Position(), other->Position());
}

int TFightingShip::GetBearingToShip(const TFightingShip* other, core::IMessages& messages) const {
    if (other == nullptr) {
        messages.Warn("Warning! GetBearingToShip " + Name + " to nil ship!");
        return 0;
    }
    return map::AddBearing(TrueBearingToShip(other, messages), -Course());
}

int TFightingShip::IncomingBearing(const TFightingShip* target, const TFightingShip* firer,
                                   core::IMessages& messages) {
    try {
        if (target == nullptr || firer == nullptr) {
            throw std::runtime_error("ship = nil");
        }
        const int bearing = map::BearingBetween(target->Position(), firer->Position());
        return map::AddBearing(bearing, -target->Course());
    } catch (const std::exception& e) {
        messages.Error("Error computing incoming bearing!\nTarget ship: " +
                       (target != nullptr ? target->Name : std::string("nil")) + "\nFiring ship: " +
                       (firer != nullptr ? firer->Name : std::string("nil")) + "\n" + e.what());
        return 0;
    }
}

int TFightingShip::GetRangeToShip(const TFightingShip* other, core::IMessages& messages) const {
    if (other == nullptr) {
        messages.Error("Error in GetRangeToShip procedure for " + Name + "! Another ship = nil!");
        return 0;
    }
    return static_cast<int>(Round(map::RangeYards(Position(), other->Position())));
}

int TFightingShip::GetRoundedRangeToShip(const TFightingShip* other, bool estimate,
                                         core::TRandomGenerator& random,
                                         core::IMessages& messages) const {
    if (other == nullptr) {
        messages.Error("Error in GetRoundedRangeToShip procedure for " + Name + "! Ship = nil!");
        return 0;
    }
    int x = GetRangeToShip(other, messages);
    if (estimate) {
        x = x + x / 10 - random.Random(x / 5);
    }
    return x / 100 * 100;
}

int TFightingShip::CountShipsInBetween(const TFightingShip* target,
                                       const std::vector<std::unique_ptr<TFightingShip>>& ships,
                                       bool allSides) const {
    if (target == nullptr) {
        return 0;
    }
    const map::TGeoPos from = Position();
    const map::TGeoPos to = target->Position();
    const int targetBearing = map::BearingBetween(from, to);
    const double tolerance = map::FromUnits(kInBetweenYards, map::TGlobeUnitTypes::Yard);
    // Only ships inside the box round the line of fire, widened by twice the tolerance (and
    // for longitude by the meridians' closing), can stand near it: the others are passed over
    // before any trigonometry.
    const double latitude = (from.lat + to.lat) / 2.0 /
                            static_cast<double>(map::kGlobeUnitsPerDegree) * kDegreesToRadians;
    const double lonMargin = 2.0 * tolerance / std::max(std::cos(latitude), kMinLongitudeScale);
    const double latMargin = 2.0 * tolerance;
    const bool acrossDateLine =
        std::abs(static_cast<std::int64_t>(from.lon) - to.lon) > map::kGlobeUnitsPerCircle / 2;
    const double minLon = std::min(from.lon, to.lon) - lonMargin;
    const double maxLon = std::max(from.lon, to.lon) + lonMargin;
    const double minLat = std::min(from.lat, to.lat) - latMargin;
    const double maxLat = std::max(from.lat, to.lat) + latMargin;
    int count = 0;
    for (const auto& ship : ships) {
        const TFightingShip* other = ship.get();
        if (other == this || other == target || other->Sunk || (!allSides && other->Side != Side)) {
            continue;
        }
        const map::TGeoPos p = other->Position();
        if (!acrossDateLine &&
            (p.lon < minLon || p.lon > maxLon || p.lat < minLat || p.lat > maxLat)) {
            continue;
        }
        if (map::CourseDifference(map::BearingBetween(from, p), targetBearing) < kInBetweenArc &&
            map::PointNearSegment(p, from, to, tolerance)) {
            ++count;
        }
    }
    return count;
}

void TFightingShip::DropOutOfArcSecondaryTargets(core::IMessages& messages) {
    struct TSlot {
        TFightingShip** target;
        bool starboard;
    };
    const TSlot slots[] = {{&SecondaryStarboardTarget, true},
                           {&SecondaryPortTarget, false},
                           {&TertiaryStarboardTarget, true},
                           {&TertiaryPortTarget, false}};
    for (const TSlot& slot : slots) {
        if (*slot.target == nullptr) {
            continue;
        }
        const int r = GetBearingToShip(*slot.target, messages);
        const bool inArc = slot.starboard ? (r >= 0 && r <= 180) : (r >= 180 && r <= 360);
        if (!inArc) {
            *slot.target = nullptr;
        }
    }
}

bool TFightingShip::LoadDesign(const std::filesystem::path& designFile, int highestNationIndex,
                               core::IMessages& messages) {
    if (!designs::LoadDesignFile(designFile, *this, highestNationIndex, messages)) {
        return false;
    }
    ApplyDesignState();
    return true;
}

void TFightingShip::ApplyDesignState() {
    MaxSuperstructurePoints = Displacement / 2;
    CurrentSuperstructurePoints = MaxSuperstructurePoints;
    MaxFloatPoints = designs::FloatPointsForDisplacement(Displacement);
    CurrentFloatPoints = MaxFloatPoints;
    const int secondaries = SecNo / 2;
    InitialSecondariesPort = InitialSecondariesStarboard = secondaries;
    CurrentSecondariesPort = CurrentSecondariesStarboard = secondaries;
    const int tertiaries = TerNo / 2;
    InitialTertiariesPort = InitialTertiariesStarboard = tertiaries;
    CurrentTertiariesPort = CurrentTertiariesStarboard = tertiaries;
}

int TFightingShip::TotalTurretGuns(bool operableOnly) const {
    int total = 0;
    for (const auto& t : Turrets) {
        if (!operableOnly || t.Operable()) {
            total += std::max(t.Guns, 1);
        }
    }
    return total;
}

int TFightingShip::GetMainGunsBearing(int r, core::IMessages& messages) {
    int bearing = 0;
    for (auto& t : Turrets) {
        if (designs::TurretBears(t.Pos, r, CDF, messages) && t.Operable()) {
            bearing += std::max(t.Guns, 1);
            t.Bearing = r;
        } else if (t.Operable()) {
            t.Bearing = designs::TurretRestBearing(t, messages);
        }
    }
    if (bearing > TotalTurretGuns(false)) {
        messages.Warn("Fishy gun count in GetMainGunsBearing!");
    }
    return bearing;
}

int TFightingShip::GetMaxRange(int level, int calibreMaxRangeThousands) const {
    int range = calibreMaxRangeThousands * 1000;
    const int quality = level >= kMainGuns && level <= kTertiaryGuns
                            ? GunQuality[static_cast<std::size_t>(level)]
                            : 0;
    if (quality != 0) {
        range = static_cast<int>(Round(range * (quality + 10) / 10.0));
    }
    if (ShipType == TShipType::DD) {
        range -= kDestroyerRangeLoss;
    }
    return range;
}

bool TFightingShip::HeavilyFlooded() const {
    constexpr int kHeavyFlooding = 200;
    constexpr int kFloodingPerLostPoint = 30;
    return Flooding > kHeavyFlooding ||
           Flooding > (MaxFloatPoints - CurrentFloatPoints) / kFloodingPerLostPoint;
}

int TFightingShip::FloodingPercentage() const {
    return Percentage(MaxFloatPoints, CurrentFloatPoints);
}

int TFightingShip::SuperstructurePercentage() const {
    return Percentage(MaxSuperstructurePoints, CurrentSuperstructurePoints);
}

int TFightingShip::DamagePercentage() const {
    int d = FloodingPercentage();
    const int s = SuperstructurePercentage();
    // Flotation dominates: wrecked upper works count fully only while the hull is sounder.
    d = d < s ? (d + s) / 2 : d + s / 4;
    if (!Turrets.empty()) {
        const int allGuns = TotalTurretGuns(false);
        int h = (100 - d) / 2;
        h += static_cast<int>(Round(static_cast<double>(TotalTurretGuns(true)) / allGuns * h));
        d = 100 - h;
    }
    if (Speed > 0 && CurrentMaxSpeed() <= Speed / 2 + 1) {
        d = d + 20 < 40 ? d + 30 : d + 20;
    }
    return std::clamp(d, 0, 100);
}

int TFightingShip::GetDamagePercentage(core::IMessages& messages) const {
    try {
        return DamagePercentage();
    } catch (const std::exception& e) {
        messages.Error("Debug: Error in GetDamagePercentage procedure!\n" + Name + "\n\n" +
                       e.what());
        return 0;
    }
}

std::optional<int> TFightingShip::StateForPercentage(int p) {
    if (p == 0) {
        return kDamageNone;
    }
    if (p >= 1 && p <= kLightDamagePercent) {
        return kDamageLight;
    }
    if (p > kLightDamagePercent && p < kHeavyDamagePercent) {
        return kDamageMedium;
    }
    if (p >= kHeavyDamagePercent && p <= kHighestDamageStatePercent) {
        return kDamageHeavy;
    }
    return std::nullopt;
}

int TFightingShip::DamageState() const {
    if (IsSinkingOrSunk()) {
        return kDamageSinking;
    }
    return StateForPercentage(DamagePercentage()).value_or(kDamageNone);
}

int TFightingShip::GetDamageState(core::IMessages& messages) const {
    if (IsSinkingOrSunk()) {
        return kDamageSinking;
    }
    const int p = GetDamagePercentage(messages);
    const auto state = StateForPercentage(p);
    if (!state) {
        messages.Warn("Warning! GetDamageState - Illegal value " + std::to_string(p));
    }
    return state.value_or(kDamageNone);
}

bool TFightingShip::IsHeavilyDamaged() const {
    return DamageState() >= kDamageHeavy;
}

std::string TFightingShip::DamageText(int p, const std::string& text) const {
    if (Sinking >= 1) {
        return "Sinking!";
    }
    if (Sunk) {
        return ShipType == TShipType::LT ? "Destroyed!" : "Sunk!";
    }
    if (p == 0) {
        return "No damage";
    }
    if (p >= 1 && p <= kLightDamagePercent) {
        return "Light damage";
    }
    if (p > kLightDamagePercent && p < kHeavyDamagePercent) {
        return "Medium damage";
    }
    if (p >= kHeavyDamagePercent && p <= 250) {
        return "Heavy damage";
    }
    return text;
}

void TFightingShip::EstimateDamage(int p, core::TRandomGenerator& random) {
    // An observer rarely judges damage right: the estimate is drawn around the truth, and a
    // badly hurt ship may look worse than it is.
    std::string estimate;
    if (p >= 6 && p <= 30) {
        const int r = random.Random(100);
        estimate = r <= 30   ? ""
                   : r <= 70 ? "Light damage"
                   : r <= 95 ? "Medium damage"
                             : "Heavy damage";
    } else if (p >= 31 && p <= 60) {
        const int r = random.Random(100);
        estimate = r <= 30 ? "Light damage" : r <= 70 ? "Medium damage" : "Heavy damage";
    } else if (p >= 61 && p <= 90) {
        const int r = random.Random(100);
        estimate = r <= 20 ? "Medium damage" : r <= 90 ? "Heavy damage" : "Sinking";
    } else if (p >= 91 && p <= 200) {
        const int r = random.Random(100);
        estimate = r <= 5 ? "Medium damage" : r <= 90 ? "Heavy damage" : "Sinking";
    }
    if (Sinking > 0) {
        const int r = random.Random(100);
        estimate = r <= 2 ? "Medium damage" : r <= 20 ? "Heavy damage" : "Sinking";
    }
    if (!estimate.empty()) {
        DamageReport = "\n" + estimate;
    }
}

int TFightingShip::CurrentMaxSpeed() const {
    const double x = Speed * EngineEfficiency / 100.0;
    int speed = static_cast<int>(Round(x));
    if (CurrentFloatPoints < MaxFloatPoints) {
        // A flooded ship sits deeper and loses half a knot in a hundred per point of flooding.
        const int v = std::min(100, 100 - static_cast<int>(Round(FloodingPercentage() / 2.0)) + 2);
        speed = static_cast<int>(Round(speed * v / 100.0));
    }
    if (EngineDisabled) {
        speed = Displacement > kEngineDisabledLimitTons ? speed / 2 : 0;
    }
    if (BowDamage) {
        speed = Displacement > kEngineDisabledLimitTons ? speed / 2 : 0;
    }
    if (ElectricDisabled) {
        speed = 0;
    }
    if (CurrentEndurance <= 0 && speed > kOutOfFuelSpeed) {
        speed = kOutOfFuelSpeed;
    }
    return speed;
}

int TFightingShip::FuelRate(int knots, bool hsc) {
    if (knots > kMaxFuelTableSpeed) {
        return 10 * kFuelRateBeyondTable;
    }
    const int v = std::max(knots, 0);
    if (v >= static_cast<int>(kFuelHsc.size())) {
        return 10 * (hsc ? kFuelHscFast : kFuelOtherFast);
    }
    return 10 * (hsc ? kFuelHsc : kFuelOther)[static_cast<std::size_t>(v)];
}

int TFightingShip::GetRemainingRange(int knots, core::IMessages& messages) const {
    try {
        if (IsSinkingOrSunk() || CurrentEndurance == 0) {
            return 0;
        }
        const double hours = static_cast<double>(CurrentEndurance) / FuelRate(knots, HSC);
        return static_cast<int>(Round(hours * (knots > 0 ? knots : kOutOfFuelSpeed)));
    } catch (const std::exception& e) {
        messages.Error("Debug: Error in Ship GetRemainingRange procedure!\nDivision: " + Name +
                       "\n\n" + e.what());
        return 0;
    }
}

int TFightingShip::FuelPercentage() const {
    if (MaxEndurance <= 0) {
        return 0;
    }
    return static_cast<int>(Round(100.0 * CurrentEndurance / MaxEndurance));
}

void TFightingShip::SetAmmoAllowance(core::TRandomGenerator& random, bool nationCLSmokeFloats) {
    const auto scaled = [this](int rounds) {
        return static_cast<int>(Round(AmmoLevel / 100.0 * rounds));
    };
    Ammo[kMainGuns] = scaled(TotalTurretGuns(false) * RoundsPerGun(Calibre[kMainGuns], 150, 90));
    Ammo[kSecondaryGuns] =
        scaled(InitialSecondariesPort * RoundsPerGun(Calibre[kSecondaryGuns], 300, 180));
    Ammo[kTertiaryGuns] = scaled(InitialTertiariesPort * 400);
    SmokeFloats = ShipType == TShipType::CL && nationCLSmokeFloats ? 2 + random.Random(3) : 0;
}

int TFightingShip::MainAmmoRemainingPercent() const {
    const int carried = Ammo[kMainGuns];
    if (carried == 0) {
        return 1;
    }
    const auto surviving =
        std::count_if(Turrets.begin(), Turrets.end(), [](const auto& t) { return !t.Destroyed; });
    if (surviving == 0) {
        return 0;
    }
    // The rounds of a destroyed turret's magazine are no use to the others: what is left is
    // shared among the surviving turrets.
    return static_cast<int>(Round(static_cast<double>(carried - RoundsFired[kMainGuns]) / carried *
                                  100.0 * static_cast<double>(Turrets.size()) /
                                  static_cast<double>(surviving)));
}

std::string TFightingShip::CheckAmmoWarnings() {
    if (ShipType == TShipType::LT || ShipType == TShipType::TR) {
        return {};
    }
    const int remaining = MainAmmoRemainingPercent();
    if (remaining < 50 && !Warned50) {
        Warned50 = true;
        return Name + " has less than 50% of main ammo remaining!";
    }
    if (remaining < 20 && !Warned80[kMainGuns]) {
        Warned80[kMainGuns] = true;
        return Name + " has less than 20% of main ammo remaining!";
    }
    return {};
}

int TFightingShip::SurvivorsRescued() const {
    int n = 0;
    for (const TRescue& r : Rescues) {
        n += r.LostWithRescuer ? 0 : r.Picked;
    }
    return n;
}

int TFightingShip::SurvivorsLost() const {
    int n = 0;
    for (const TRescue& r : Rescues) {
        n += r.LostWithRescuer ? r.Picked : 0;
    }
    return n;
}

std::string TFightingShip::IdentifiedName() const {
    if (IdentifiedType.empty()) {
        return "unknown ship";
    }
    return ReportedClass.empty() ? IdentifiedType : IdentifiedType + " " + ReportedClass;
}

double RangeYards(const TFightingShip& a, const TFightingShip& b) {
    return map::RangeYards(a.Position(), b.Position());
}

std::unique_ptr<TFightingShip>
CopyShipForDisplay(const TFightingShip& source, int highestNationIndex, core::IMessages& messages) {
    if (source.Nation < 0 || source.Nation > highestNationIndex) {
        messages.Error("Illegal nation value! Class: " + source.Classname);
        return nullptr;
    }
    auto copy = std::make_unique<TFightingShip>();
    static_cast<designs::Tship&>(*copy) = static_cast<const designs::Tship&>(source);
    for (auto& turret : copy->Turrets) {
        turret.Silenced = 0;
        turret.Destroyed = false;
        turret.Bearing = 0;
    }
    for (auto& mount : copy->TorpedoMounts) {
        mount.Destroyed = false;
        mount.ReloadTime = 0;
        mount.Reloads = 0;
    }
    copy->ComputeTurretFlags();
    copy->ApplyDesignState();
    copy->Side = source.Side;
    copy->SetCourse(source.Course());
    // The copy stands for the same ship on the chart: drawn as a ship, never as a layer object.
    copy->Marker->SetRef(source.Marker->Ref());
    copy->PlaceOnLayer(source.Marker->Layer());
    copy->SetPosition(source.Position());
    return copy;
}

} // namespace tarnwake::combat
