#include "Ballistics.h"

#include "DetMath.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tarnwake::ballistics {

namespace {

// ---- Units -----------------------------------------------------------------------------------

constexpr double kMetresPerFoot = 0.3048;
constexpr double kMetresPerYard = 0.9144;
constexpr double kMetresPerInch = 0.0254;
constexpr double kKilogramsPerPound = 0.45359237;
constexpr double kInchesPerDecimetre = 3.937007874015748;
constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr double kGravity = 9.80665; // m/s^2

// ---- The standard atmosphere (troposphere and the isothermal layer above it) ---------------

constexpr double kSeaLevelTemperature = 288.15; // K
constexpr double kLapseRate = 0.0065;           // K per metre
constexpr double kTropopause = 11000.0;         // m
constexpr double kGasConstant = 287.05287;      // J/(kg K), dry air
constexpr double kHeatRatio = 1.4;
constexpr double kSeaLevelDensity = 1.225; // kg/m^3
// Density falls as (T / T0) ^ (g / (L R) - 1) in the troposphere.
constexpr double kDensityExponent = kGravity / (kLapseRate * kGasConstant) - 1.0;

struct TAir {
    double densityRatio;
    double soundSpeed;
};

TAir StandardAir(double height) {
    const double h = std::max(0.0, height);
    if (h <= kTropopause) {
        const double temperature = kSeaLevelTemperature - kLapseRate * h;
        return {Pow(temperature / kSeaLevelTemperature, kDensityExponent),
                std::sqrt(kHeatRatio * kGasConstant * temperature)};
    }
    const double temperature = kSeaLevelTemperature - kLapseRate * kTropopause;
    const double atTropopause = Pow(temperature / kSeaLevelTemperature, kDensityExponent);
    return {atTropopause * Exp(-kGravity * (h - kTropopause) / (kGasConstant * temperature)),
            std::sqrt(kHeatRatio * kGasConstant * temperature)};
}

// The atmosphere tabulated every 10 m up to 30 km and interpolated: the integration asks for
// it four times a step, and the table makes the tool fast enough to run in the tests.
constexpr double kAirStep = 10.0;
constexpr int kAirPoints = 3001;

const std::vector<TAir>& AirTable() {
    static const std::vector<TAir> table = [] {
        std::vector<TAir> points;
        points.reserve(kAirPoints);
        for (int i = 0; i < kAirPoints; ++i) {
            points.push_back(StandardAir(i * kAirStep));
        }
        return points;
    }();
    return table;
}

TAir AirAt(double height) {
    const std::vector<TAir>& table = AirTable();
    const double position = std::clamp(height / kAirStep, 0.0, kAirPoints - 1.0);
    const auto index =
        std::min(static_cast<std::size_t>(position), static_cast<std::size_t>(kAirPoints - 2));
    const double t = position - static_cast<double>(index);
    const TAir& a = table[index];
    const TAir& b = table[index + 1];
    return {a.densityRatio + t * (b.densityRatio - a.densityRatio),
            a.soundSpeed + t * (b.soundSpeed - a.soundSpeed)};
}

// ---- The drag law ----------------------------------------------------------------------------

// The standard "G1" drag coefficient against Mach number: the drag law of the Gavre
// commission and of Ingalls' tables, built on Krupp's firings of flat-based, two-calibre-head
// shells at Meppen in the 1880s, and the law naval gunnery worked with in the period.
struct TDragPoint {
    double mach;
    double cd;
};

constexpr TDragPoint kG1[] = {
    {0.00, 0.2629},  {0.05, 0.2558},  {0.10, 0.2487},  {0.15, 0.2413},  {0.20, 0.2344},
    {0.25, 0.2278},  {0.30, 0.2214},  {0.35, 0.2155},  {0.40, 0.2104},  {0.45, 0.2061},
    {0.50, 0.2032},  {0.55, 0.2020},  {0.60, 0.2034},  {0.70, 0.2165},  {0.725, 0.2230},
    {0.75, 0.2313},  {0.775, 0.2417}, {0.80, 0.2546},  {0.825, 0.2706}, {0.85, 0.2901},
    {0.875, 0.3136}, {0.90, 0.3415},  {0.925, 0.3734}, {0.95, 0.4084},  {0.975, 0.4448},
    {1.00, 0.4805},  {1.025, 0.5136}, {1.05, 0.5427},  {1.075, 0.5677}, {1.10, 0.5883},
    {1.125, 0.6053}, {1.15, 0.6191},  {1.20, 0.6393},  {1.25, 0.6518},  {1.30, 0.6589},
    {1.35, 0.6621},  {1.40, 0.6625},  {1.45, 0.6607},  {1.50, 0.6573},  {1.55, 0.6528},
    {1.60, 0.6474},  {1.65, 0.6413},  {1.70, 0.6347},  {1.75, 0.6280},  {1.80, 0.6210},
    {1.85, 0.6141},  {1.90, 0.6072},  {1.95, 0.6003},  {2.00, 0.5934},  {2.05, 0.5867},
    {2.10, 0.5804},  {2.15, 0.5743},  {2.20, 0.5685},  {2.25, 0.5630},  {2.30, 0.5577},
    {2.35, 0.5527},  {2.40, 0.5481},  {2.45, 0.5438},  {2.50, 0.5397},  {2.60, 0.5325},
    {2.70, 0.5264},  {2.80, 0.5211},  {2.90, 0.5168},  {3.00, 0.5133},  {3.10, 0.5105},
    {3.20, 0.5084},  {3.30, 0.5067},  {3.40, 0.5054},  {3.50, 0.5040},  {4.00, 0.5006}};

double DragCoefficient(double mach) {
    constexpr std::size_t count = sizeof(kG1) / sizeof(kG1[0]);
    if (mach <= kG1[0].mach) {
        return kG1[0].cd;
    }
    if (mach >= kG1[count - 1].mach) {
        return kG1[count - 1].cd;
    }
    std::size_t lo = 0;
    std::size_t hi = count - 1;
    while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        if (kG1[mid].mach <= mach) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    const double t = (mach - kG1[lo].mach) / (kG1[hi].mach - kG1[lo].mach);
    return kG1[lo].cd + t * (kG1[hi].cd - kG1[lo].cd);
}

// ---- Integration -----------------------------------------------------------------------------

constexpr double kTimeStep = 0.05;     // seconds; fourth-order Runge-Kutta
constexpr double kMaxFlightTime = 400; // seconds; no shell of the tables flies half as long

struct TState {
    double x, y, vx, vy;
};

struct TShell {
    double dragFactor; // rho0 x form factor x area / (2 mass), per metre
};

TState Derivative(const TShell& shell, const TState& s) {
    const double speed = std::sqrt(s.vx * s.vx + s.vy * s.vy);
    const TAir air = AirAt(s.y);
    const double drag =
        shell.dragFactor * air.densityRatio * DragCoefficient(speed / air.soundSpeed) * speed;
    return {s.vx, s.vy, -drag * s.vx, -kGravity - drag * s.vy};
}

TState Step(const TShell& shell, const TState& s, double h) {
    const TState k1 = Derivative(shell, s);
    const TState a = {s.x + h / 2 * k1.x, s.y + h / 2 * k1.y, s.vx + h / 2 * k1.vx,
                      s.vy + h / 2 * k1.vy};
    const TState k2 = Derivative(shell, a);
    const TState b = {s.x + h / 2 * k2.x, s.y + h / 2 * k2.y, s.vx + h / 2 * k2.vx,
                      s.vy + h / 2 * k2.vy};
    const TState k3 = Derivative(shell, b);
    const TState c = {s.x + h * k3.x, s.y + h * k3.y, s.vx + h * k3.vx, s.vy + h * k3.vy};
    const TState k4 = Derivative(shell, c);
    return {s.x + h / 6 * (k1.x + 2 * k2.x + 2 * k3.x + k4.x),
            s.y + h / 6 * (k1.y + 2 * k2.y + 2 * k3.y + k4.y),
            s.vx + h / 6 * (k1.vx + 2 * k2.vx + 2 * k3.vx + k4.vx),
            s.vy + h / 6 * (k1.vy + 2 * k2.vy + 2 * k3.vy + k4.vy)};
}

double DeMarreThicknessDecimetres(double figureOfMerit, double normalVelocity,
                                  double shellKilograms, double calibreDecimetres) {
    if (!(normalVelocity > 0.0)) {
        return 0.0;
    }
    const double ratio =
        normalVelocity * std::sqrt(shellKilograms) / (figureOfMerit * Pow(calibreDecimetres, 0.75));
    return Pow(ratio, 1.0 / 0.7);
}

// ---- Calibration -------------------------------------------------------------------------

// Form factors of the head shapes against the G1 law, fitted to published ranges (see
// README.md): the two calibre head to the 12-inch Mk X, the 4.7-inch and the 21 cm guns
// together, the four calibre head to the 15-inch Mk I.
constexpr double kBluntFormFactor = 0.95;
constexpr double kLongFormFactor = 0.75;

// De Marre's figure of merit (metric units: m/s, dm, kg) for Krupp cemented armour against
// capped shells, and for homogeneous deck steel, taken as three quarters of the resistance
// of the same thickness of cemented armour: K x 0.75^0.7.
constexpr double kCementedFigure = 2200.0;
constexpr double kDeckSteelFigure = 1800.0;

// Search limits for the elevation of greatest range.
constexpr double kMaximumSearchLow = 20.0;
constexpr double kMaximumSearchHigh = 60.0;

constexpr int kYardsPerThousand = 1000;

int TenthsOfAnInch(double inches) {
    return static_cast<int>(std::nearbyint(inches * 10.0));
}

} // namespace

// ---- Guns ----------------------------------------------------------------------------------

TGun InterpolatedGun(const TGun& lower, const TGun& upper, int calibre, const std::string& name) {
    const double t = (calibre - lower.BoreInches) / (upper.BoreInches - lower.BoreInches);
    const auto mix = [t](double a, double b) { return a + t * (b - a); };
    const double lowerDensity =
        lower.ShellPounds / (lower.BoreInches * lower.BoreInches * lower.BoreInches);
    const double upperDensity =
        upper.ShellPounds / (upper.BoreInches * upper.BoreInches * upper.BoreInches);
    TGun gun;
    gun.Calibre = calibre;
    gun.Name = name;
    gun.BoreInches = calibre;
    gun.ShellPounds = mix(lowerDensity, upperDensity) * calibre * calibre * calibre;
    gun.MuzzleVelocityFps = mix(lower.MuzzleVelocityFps, upper.MuzzleVelocityFps);
    gun.Head = t < 0.5 ? lower.Head : upper.Head;
    gun.MaxElevationDegrees = mix(lower.MaxElevationDegrees, upper.MaxElevationDegrees);
    gun.RoundsPerMinute = mix(lower.RoundsPerMinute, upper.RoundsPerMinute);
    return gun;
}

std::vector<TGun> RepresentativeGuns() {
    // Calibre row, name, bore (in), shell (lb), muzzle velocity (ft/s), head, elevation of
    // the mountings (degrees), rounds per gun per minute in practice.
    const TGun twelvePounder{
        3, "British QF 12-pounder 18 cwt", 3.0, 12.5, 2548, THead::Blunt, 20.0, 15.0};
    const TGun fourInch{4, "British BL 4-inch Mk VIII", 4.0, 31.0, 2300, THead::Blunt, 20.0, 8.0};
    const TGun fourPointSeven{
        5, "British QF 4.7-inch Mk IV", 4.724, 45.0, 2150, THead::Blunt, 20.0, 6.0};
    const TGun sixInch{6, "British BL 6-inch Mk VII", 6.0, 100.0, 2775, THead::Blunt, 15.0, 5.0};
    const TGun seventeenCm{7, "German 17 cm SK L/40", 6.69, 141.0, 2870, THead::Blunt, 22.0, 4.0};
    const TGun twentyOneCm{8, "German 21 cm SK L/40", 8.27, 238.0, 2560, THead::Blunt, 30.0, 3.5};
    const TGun ninePointTwo{9,  "British BL 9.2-inch Mk X", 9.2, 380.0, 2643, THead::Blunt, 15.0,
                            3.0};
    const TGun tenInch{
        10, "British BL 10-inch Mk VI (Swiftsure)", 10.0, 500.0, 2800, THead::Blunt, 13.5, 2.5};
    const TGun twentyEightCm{11,   "German 28 cm SK L/45", 11.14, 666.0,
                             2805, THead::Blunt,           20.0,  2.5};
    const TGun twelveInch{12, "British BL 12-inch Mk X", 12.0, 850.0, 2725, THead::Blunt, 13.5,
                          2.0};
    const TGun thirteenFive{
        14, "British BL 13.5-inch Mk V (1,400 lb shell)", 13.5, 1400.0, 2491, THead::Blunt, 20.0,
        1.5};
    const TGun fifteenInch{15, "British BL 15-inch Mk I", 15.0, 1920.0, 2472, THead::Long, 20.0,
                           1.5};
    const TGun eighteenInch{18, "British BL 18-inch Mk I", 18.0, 3320.0, 2270, THead::Long, 30.0,
                            1.0};

    return {twelvePounder,
            fourInch,
            fourPointSeven,
            sixInch,
            seventeenCm,
            twentyOneCm,
            ninePointTwo,
            tenInch,
            twentyEightCm,
            twelveInch,
            InterpolatedGun(twelveInch, thirteenFive, 13,
                            "Notional 13-inch (between 12-inch Mk X and 13.5-inch Mk V)"),
            thirteenFive,
            fifteenInch,
            InterpolatedGun(fifteenInch, eighteenInch, 16,
                            "Notional 16-inch (between 15-inch Mk I and 18-inch Mk I)"),
            InterpolatedGun(fifteenInch, eighteenInch, 17,
                            "Notional 17-inch (between 15-inch Mk I and 18-inch Mk I)"),
            eighteenInch};
}

// ---- Trajectories ----------------------------------------------------------------------------

double FormFactor(THead head) {
    return head == THead::Long ? kLongFormFactor : kBluntFormFactor;
}

TImpact Fire(const TGun& gun, double elevationDegrees) {
    return Fire(gun, elevationDegrees, FormFactor(gun.Head));
}

TImpact Fire(const TGun& gun, double elevationDegrees, double formFactor) {
    TImpact impact;
    impact.ElevationDegrees = elevationDegrees;
    const double diameter = gun.BoreInches * kMetresPerInch;
    const double mass = gun.ShellPounds * kKilogramsPerPound;
    const TShell shell{kSeaLevelDensity * formFactor * (kPi * diameter * diameter / 4.0) /
                       (2.0 * mass)};
    const double elevation = elevationDegrees * kRadiansPerDegree;
    const double v0 = gun.MuzzleVelocityFps * kMetresPerFoot;
    if (!(elevation > 0.0)) {
        impact.StrikingVelocityFps = gun.MuzzleVelocityFps;
        return impact;
    }
    TState state{0.0, 0.0, v0 * Cos(elevation), v0 * Sin(elevation)};
    double time = 0.0;
    while (time < kMaxFlightTime) {
        const TState next = Step(shell, state, kTimeStep);
        if (next.y < 0.0 && next.vy < 0.0) {
            // Come down within this step: find the part of it that ends at sea level, by a
            // first guess along the chord and Newton steps on the integrated height.
            double h = kTimeStep * state.y / (state.y - next.y);
            TState landed = Step(shell, state, h);
            for (int i = 0; i < 4; ++i) {
                h -= landed.y / landed.vy;
                landed = Step(shell, state, h);
            }
            state = landed;
            time += h;
            break;
        }
        state = next;
        time += kTimeStep;
    }
    const double speed = std::sqrt(state.vx * state.vx + state.vy * state.vy);
    impact.RangeYards = state.x / kMetresPerYard;
    impact.StrikingVelocityFps = speed / kMetresPerFoot;
    impact.CosFall = state.vx / speed;
    impact.SinFall = -state.vy / speed;
    impact.AngleOfFallDegrees = Atan(-state.vy / state.vx) / kRadiansPerDegree;
    impact.FlightSeconds = time;
    return impact;
}

TImpact BallisticMaximum(const TGun& gun) {
    // Golden-section search: the range rises to one maximum and falls beyond it.
    const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
    double a = kMaximumSearchLow;
    double b = kMaximumSearchHigh;
    double c = b - ratio * (b - a);
    double d = a + ratio * (b - a);
    TImpact fc = Fire(gun, c);
    TImpact fd = Fire(gun, d);
    for (int i = 0; i < 30; ++i) {
        if (fc.RangeYards > fd.RangeYards) {
            b = d;
            d = c;
            fd = fc;
            c = b - ratio * (b - a);
            fc = Fire(gun, c);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + ratio * (b - a);
            fd = Fire(gun, d);
        }
    }
    return fc.RangeYards > fd.RangeYards ? fc : fd;
}

TRangeSolver::TRangeSolver(const TGun& gun)
    : gun_(gun), atMountLimit_(Fire(gun, gun.MaxElevationDegrees)) {}

const TImpact& TRangeSolver::BallisticBest() {
    if (!best_) {
        best_ = BallisticMaximum(gun_);
    }
    return *best_;
}

bool TRangeSolver::Solve(double rangeYards, TImpact& impact) {
    double low = 0.0;
    double lowRange = 0.0;
    TImpact high = atMountLimit_;
    if (high.RangeYards < rangeYards) {
        // Past the mounting's reach: the elevation a higher mounting would need, so that a
        // gun allowed to fire a little past its maximum range still has figures.
        if (BallisticBest().RangeYards < rangeYards) {
            return false;
        }
        low = high.ElevationDegrees;
        lowRange = high.RangeYards;
        high = BallisticBest();
    }
    double highElevation = high.ElevationDegrees;
    double highRange = high.RangeYards;
    // Regula falsi with the Illinois change: the range is smooth and rising in elevation.
    int side = 0;
    TImpact current = high;
    for (int i = 0; i < 100; ++i) {
        const double elevation =
            low + (rangeYards - lowRange) * (highElevation - low) / (highRange - lowRange);
        current = Fire(gun_, elevation);
        const double error = current.RangeYards - rangeYards;
        if (std::fabs(error) < 0.01 || highElevation - low < 1e-12) {
            break;
        }
        if (error < 0.0) {
            low = elevation;
            lowRange = current.RangeYards;
            if (side == -1) {
                highRange = rangeYards + (highRange - rangeYards) / 2.0;
            }
            side = -1;
        } else {
            highElevation = elevation;
            highRange = current.RangeYards;
            if (side == 1) {
                lowRange = rangeYards + (lowRange - rangeYards) / 2.0;
            }
            side = 1;
        }
    }
    impact = current;
    return true;
}

bool SolveForRange(const TGun& gun, double rangeYards, TImpact& impact) {
    TRangeSolver solver(gun);
    return solver.Solve(rangeYards, impact);
}

// ---- Armour ---------------------------------------------------------------------------------

double BeltPenetrationInches(const TGun& gun, const TImpact& impact) {
    // A vertical plate is struck at an obliquity equal to the angle of fall.
    const double normal = impact.StrikingVelocityFps * kMetresPerFoot * impact.CosFall;
    return DeMarreThicknessDecimetres(kCementedFigure, normal, gun.ShellPounds * kKilogramsPerPound,
                                      gun.BoreInches * kMetresPerInch * 10.0) *
           kInchesPerDecimetre;
}

double DeckPenetrationInches(const TGun& gun, const TImpact& impact) {
    // A deck is struck at the complement of the angle of fall: only the part of the
    // velocity along the sine of the angle of fall drives the shell through.
    const double normal = impact.StrikingVelocityFps * kMetresPerFoot * impact.SinFall;
    return DeMarreThicknessDecimetres(kDeckSteelFigure, normal,
                                      gun.ShellPounds * kKilogramsPerPound,
                                      gun.BoreInches * kMetresPerInch * 10.0) *
           kInchesPerDecimetre;
}

// ---- The tables -----------------------------------------------------------------------------

std::vector<TTableRow> ComputeTables() {
    return ComputeTables(RepresentativeGuns());
}

std::vector<TTableRow> ComputeTables(const std::vector<TGun>& guns) {
    std::vector<TTableRow> rows;
    for (const TGun& gun : guns) {
        TTableRow row;
        row.Gun = gun;
        TRangeSolver solver(gun);
        for (int k = 1; k <= kTableRanges; ++k) {
            const auto index = static_cast<std::size_t>(k - 1);
            TImpact impact;
            if (solver.Solve(k * kYardsPerThousand, impact)) {
                row.Reached[index] = true;
                row.Impacts[index] = impact;
                row.Belt[index] = TenthsOfAnInch(BeltPenetrationInches(gun, impact));
                row.Deck[index] = TenthsOfAnInch(DeckPenetrationInches(gun, impact));
                if (impact.AngleOfFallDegrees <= kEffectiveFallDegrees) {
                    row.EffectiveRange = k;
                }
            }
        }
        row.MaxRangeYards = solver.AtMountLimit().RangeYards;
        row.MaxRange =
            std::min(kTableMaxRange, static_cast<int>(row.MaxRangeYards / kYardsPerThousand));
        row.EffectiveRange = std::clamp(row.EffectiveRange, 1, row.MaxRange);
        row.RateOfFireTenths = static_cast<int>(std::nearbyint(gun.RoundsPerMinute * 10.0));
        rows.push_back(row);
    }
    return rows;
}

namespace {

std::string Tenths(double value) {
    const long long tenths = std::llround(value * 10.0);
    const long long whole = tenths / 10;
    const long long part = tenths % 10;
    return std::to_string(whole) + "." + std::to_string(part < 0 ? -part : part);
}

std::string Whole(double value) {
    return std::to_string(std::llround(value));
}

// Whole when it is, else to a tenth: "850", "12.5".
std::string Figure(double value) {
    return std::llround(value * 10.0) % 10 == 0 ? Whole(value) : Tenths(value);
}

std::string RangeHeader() {
    std::string header;
    for (int k = 1; k <= kTableRanges; ++k) {
        // Named first: GCC 12 falsely warns (-Wrestrict) on a literal plus a temporary string.
        const std::string range = std::to_string(k);
        header += "\t" + range;
    }
    return header;
}

} // namespace

TTableFiles FormatTables(const std::vector<TTableRow>& rows) {
    TTableFiles files;
    files.VPen = "Calibre\tGun\tEffective range" + RangeHeader() + "\n";
    files.HPen = "Calibre\tGun\tShell (lb)" + RangeHeader() + "\n";
    files.Gundata = "Calibre\tGun\tRate of fire (tenths)\tMax range\tShell (lb)\t"
                    "Muzzle velocity (ft/s)\tMax elevation (deg)\tRange at max elevation (yd)\n";
    for (const TTableRow& row : rows) {
        const std::string lead = std::to_string(row.Gun.Calibre) + "\t" + row.Gun.Name + "\t";
        files.VPen += lead + std::to_string(row.EffectiveRange);
        files.HPen += lead + Figure(row.Gun.ShellPounds);
        for (int k = 0; k < kTableRanges; ++k) {
            // Named first: GCC 12 falsely warns (-Wrestrict) on a literal plus a temporary string.
            const std::string belt = std::to_string(row.Belt[static_cast<std::size_t>(k)]);
            const std::string deck = std::to_string(row.Deck[static_cast<std::size_t>(k)]);
            files.VPen += "\t" + belt;
            files.HPen += "\t" + deck;
        }
        files.VPen += "\n";
        files.HPen += "\n";
        files.Gundata +=
            lead + std::to_string(row.RateOfFireTenths) + "\t" + std::to_string(row.MaxRange) +
            "\t" + Figure(row.Gun.ShellPounds) + "\t" + Whole(row.Gun.MuzzleVelocityFps) + "\t" +
            Tenths(row.Gun.MaxElevationDegrees) + "\t" + Whole(row.MaxRangeYards) + "\n";
    }
    return files;
}

TTableFiles GenerateTableFiles() {
    return FormatTables(ComputeTables());
}

std::string Report(const std::vector<TTableRow>& rows) {
    std::string text;
    for (const TTableRow& row : rows) {
        const TGun& gun = row.Gun;
        text += std::to_string(gun.Calibre) + "-inch row: " + gun.Name + "\n";
        text += "  bore " + Tenths(gun.BoreInches) + " in, shell " + Figure(gun.ShellPounds) +
                " lb, " + Whole(gun.MuzzleVelocityFps) + " ft/s, " +
                (gun.Head == THead::Long ? "4 crh" : "2 crh") + ", elevation " +
                Tenths(gun.MaxElevationDegrees) + " deg, " + Tenths(gun.RoundsPerMinute) +
                " rounds/min\n";
        text += "  range at " + Tenths(gun.MaxElevationDegrees) +
                " deg: " + Whole(row.MaxRangeYards) + " yd (table maximum " +
                std::to_string(row.MaxRange) + "); effective range " +
                std::to_string(row.EffectiveRange) + "\n";
        text += "  range(yd)  elev  fall  velocity(ft/s)  belt(in)  deck(in)\n";
        for (int k = 2; k <= kTableRanges; k += 2) {
            const auto i = static_cast<std::size_t>(k - 1);
            if (!row.Reached[i]) {
                text += "  " + std::to_string(k * 1000) + "  out of reach\n";
                continue;
            }
            const TImpact& impact = row.Impacts[i];
            text += "  " + std::to_string(k * 1000) + "  " + Tenths(impact.ElevationDegrees) +
                    "  " + Tenths(impact.AngleOfFallDegrees) + "  " +
                    Whole(impact.StrikingVelocityFps) + "  " + Tenths(row.Belt[i] / 10.0) + "  " +
                    Tenths(row.Deck[i] / 10.0) + "\n";
        }
        text += "\n";
    }
    return text;
}

} // namespace tarnwake::ballistics
