#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::ballistics {

// ---- Guns ----------------------------------------------------------------------------------

// The shape of a shell's head, which decides its drag.
enum class THead {
    Blunt, // two calibre radius head ("2 crh"): most shells of the period
    Long   // four calibre radius head ("4 crh"): the British 15-inch and 18-inch shells
};

// A gun as the naval annuals give it.
struct TGun {
    int Calibre = 0;         // the whole-inch row of the tables it stands for
    std::string Name;        // what it is, written into the tables
    double BoreInches = 0.0; // the real calibre
    double ShellPounds = 0.0;
    double MuzzleVelocityFps = 0.0;
    THead Head = THead::Blunt;
    double MaxElevationDegrees = 0.0; // of its mountings in the war years
    double RoundsPerMinute = 0.0;     // per gun, in practice rather than on trials
};

// The representative gun of every calibre 3..18, in order. Calibres without a gun of their
// own (13, 16, 17 inches) get a notional gun interpolated between their neighbours.
std::vector<TGun> RepresentativeGuns();

// A notional gun between two real ones, at calibre `calibre`: shell weight for weight per
// cubic inch of calibre, muzzle velocity, elevation and rate of fire interpolated by calibre.
TGun InterpolatedGun(const TGun& lower, const TGun& upper, int calibre, const std::string& name);

// ---- Trajectories ----------------------------------------------------------------------------

// The drag of a head shape relative to the drag law (the "form factor"), calibrated in
// Ballistics.cpp; 0 flies the shell in a vacuum.
double FormFactor(THead head);

// Where and how a shell fired at an elevation comes down to the sea.
struct TImpact {
    double ElevationDegrees = 0.0;
    double RangeYards = 0.0;
    double StrikingVelocityFps = 0.0;
    double AngleOfFallDegrees = 0.0;
    double FlightSeconds = 0.0;
    double CosFall = 1.0; // cosine and sine of the angle of fall, from the velocity itself
    double SinFall = 0.0;
};

// Flies the shell from sea level at `elevationDegrees` through the standard atmosphere until
// it comes down to sea level again. `formFactor` overrides the head's (tests fly in vacuum).
TImpact Fire(const TGun& gun, double elevationDegrees, double formFactor);
TImpact Fire(const TGun& gun, double elevationDegrees);

// The elevation of greatest range, and that range.
TImpact BallisticMaximum(const TGun& gun);

// Finds the low-angle trajectories of one gun that come down at given ranges: up to the
// mounting's elevation limit, and past it up to the elevation of greatest range (a gun of
// good quality may fire a little past its table maximum).
class TRangeSolver {
public:
    explicit TRangeSolver(const TGun& gun);
    // False when the shell cannot reach `rangeYards` at any elevation.
    bool Solve(double rangeYards, TImpact& impact);
    const TImpact& AtMountLimit() const { return atMountLimit_; }

private:
    const TImpact& BallisticBest();

    TGun gun_;
    TImpact atMountLimit_;
    std::optional<TImpact> best_;
};

bool SolveForRange(const TGun& gun, double rangeYards, TImpact& impact);

// ---- Armour ---------------------------------------------------------------------------------

// Inches of Krupp cemented armour on a ship's side (vertical) defeated at the impact, by De
// Marre's formula with the part of the striking velocity normal to the plate.
double BeltPenetrationInches(const TGun& gun, const TImpact& impact);
// Inches of homogeneous deck steel (horizontal) defeated at the impact, likewise.
double DeckPenetrationInches(const TGun& gun, const TImpact& impact);

// ---- The tables -----------------------------------------------------------------------------

inline constexpr int kTableRanges = 30; // 1..30 thousand yards
// The game reads penetrations only out to 30 thousand yards, so no maximum range may pass
// them: a gun that reaches 31,000 yards or more is written with a maximum range of 30.
inline constexpr int kTableMaxRange = 30;
// The effective range is the last whole thousand yards at which the angle of fall is still
// at most this: beyond it a shell's danger space shrinks quickly and more hits come down on
// the deck. See README.md.
inline constexpr double kEffectiveFallDegrees = 10.0;

struct TTableRow {
    TGun Gun;
    int EffectiveRange = 0;               // thousands of yards
    std::array<int, kTableRanges> Belt{}; // tenths of an inch at 1..30 thousand yards
    std::array<int, kTableRanges> Deck{}; // tenths of an inch
    std::array<TImpact, kTableRanges> Impacts{};
    std::array<bool, kTableRanges> Reached{};
    int RateOfFireTenths = 0;
    int MaxRange = 0;           // thousands of yards
    double MaxRangeYards = 0.0; // at the mounting's elevation, before clamping
};

// The rows of the given guns (the tables ship the representative guns).
std::vector<TTableRow> ComputeTables(const std::vector<TGun>& guns);
std::vector<TTableRow> ComputeTables();

struct TTableFiles {
    std::string VPen;
    std::string HPen;
    std::string Gundata;
};

TTableFiles FormatTables(const std::vector<TTableRow>& rows);
// The three files as the game ships them.
TTableFiles GenerateTableFiles();

// A readable account of every gun: its data, its maximum and effective ranges, and at every
// 2,000 yards the elevation, angle of fall, striking velocity and penetrations.
std::string Report(const std::vector<TTableRow>& rows);

} // namespace tarnwake::ballistics
