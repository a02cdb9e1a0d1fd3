#include "Ballistics.h"
#include "DetMath.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace tarnwake::ballistics;

namespace {

constexpr double kMetresPerYard = 0.9144;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kGravity = 9.80665;

int FirstDifferentLine(const std::string& a, const std::string& b) {
    int line = 1;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) {
            return line;
        }
        line += a[i] == '\n' ? 1 : 0;
    }
    return line;
}

TGun GunNamed(const std::string& prefix) {
    for (const TGun& gun : RepresentativeGuns()) {
        if (gun.Name.rfind(prefix, 0) == 0) {
            return gun;
        }
    }
    ADD_FAILURE() << "no gun " << prefix;
    return {};
}

} // namespace

// The shipped tables are exactly what the tool computes: anyone can regenerate them with
// `tarnwake-ballistics --out data/Data` and get the same bytes.
TEST(BallisticsTables, ShippedFilesAreWhatTheToolComputes) {
    const TTableFiles files = GenerateTableFiles();
    const auto dataDir = tarnwake::testing::ShippedGameDir() / "Data";
    const std::pair<const char*, const std::string*> expected[] = {
        {"VPen.dat", &files.VPen}, {"HPen.dat", &files.HPen}, {"Gundata.dat", &files.Gundata}};
    for (const auto& [name, text] : expected) {
        const std::string shipped = tarnwake::testing::ReadWholeFile(dataDir / name);
        EXPECT_TRUE(shipped == *text) << name << " differs from the computation at line "
                                      << FirstDifferentLine(shipped, *text)
                                      << "; regenerate with tarnwake-ballistics --out data/Data";
    }
}

TEST(BallisticsMath, AgreesWithTheStandardLibrary) {
    for (double x = -20.0; x <= 20.0; x += 0.37) {
        EXPECT_NEAR(std::exp(x), Exp(x), 1e-14 * std::exp(x)) << x;
    }
    for (double x = 1e-6; x < 1e6; x *= 3.7) {
        EXPECT_NEAR(std::log(x), Log(x), 1e-14 * std::max(1.0, std::fabs(std::log(x)))) << x;
        EXPECT_NEAR(std::pow(x, 0.7), Pow(x, 0.7), 1e-13 * std::pow(x, 0.7)) << x;
    }
    for (double a = 0.0; a <= kPi / 2; a += 0.01) {
        EXPECT_NEAR(std::sin(a), Sin(a), 1e-15) << a;
        EXPECT_NEAR(std::cos(a), Cos(a), 1e-15) << a;
    }
    for (double t = -50.0; t <= 50.0; t += 0.173) {
        EXPECT_NEAR(std::atan(t), Atan(t), 1e-15) << t;
    }
}

// Without air the trajectory is a parabola: range v^2 sin(2e) / g, the shell comes down at
// its angle of departure and its muzzle velocity. This checks the integration, the landing
// and the units independently of any drag figure.
TEST(BallisticsTrajectory, InAVacuumIsTheParabola) {
    const TGun gun{12, "test", 12.0, 850.0, 2500.0, THead::Blunt, 45.0, 1.0};
    for (double elevation : {5.0, 20.0, 45.0}) {
        const TImpact impact = Fire(gun, elevation, 0.0);
        const double v = gun.MuzzleVelocityFps * kMetresPerFoot;
        const double expected = v * v * std::sin(2 * elevation * kPi / 180) / kGravity;
        EXPECT_NEAR(expected, impact.RangeYards * kMetresPerYard, 1e-6 * expected) << elevation;
        EXPECT_NEAR(elevation, impact.AngleOfFallDegrees, 1e-6) << elevation;
        EXPECT_NEAR(gun.MuzzleVelocityFps, impact.StrikingVelocityFps, 1e-6) << elevation;
    }
}

// The drag law and form factors against ranges published in the period's range tables and
// gun handbooks (README.md lists them): the model need not be exact, but it must stay close.
TEST(BallisticsTrajectory, MatchesPublishedRanges) {
    struct TFigure {
        const char* gun;
        double elevation;
        double yards;
        double tolerance;
    };
    const TFigure figures[] = {
        {"British BL 12-inch Mk X", 13.5, 16450.0, 0.03},
        {"British BL 15-inch Mk I", 20.0, 23734.0, 0.03},
        {"German 21 cm SK L/40", 16.0, 12400.0 / kMetresPerYard, 0.06},
        {"German 21 cm SK L/40", 30.0, 16300.0 / kMetresPerYard, 0.06},
        {"British QF 4.7-inch Mk IV", 20.0, 10000.0, 0.06},
    };
    for (const TFigure& f : figures) {
        const double range = Fire(GunNamed(f.gun), f.elevation).RangeYards;
        EXPECT_NEAR(f.yards, range, f.tolerance * f.yards) << f.gun << " at " << f.elevation;
    }
    // The 12-inch Mk X kept about 1,640 ft/s at 8,000 yards.
    TImpact impact;
    ASSERT_TRUE(SolveForRange(GunNamed("British BL 12-inch Mk X"), 8000.0, impact));
    EXPECT_NEAR(8000.0, impact.RangeYards, 0.05);
    EXPECT_NEAR(1640.0, impact.StrikingVelocityFps, 0.05 * 1640.0);
}

TEST(BallisticsTables, MaximumRangesStayInsideTheTables) {
    // A mounting that reaches well past 30,000 yards is written as 30.
    TGun farReaching = GunNamed("British BL 18-inch Mk I");
    farReaching.MaxElevationDegrees = 45.0;
    const auto rows = ComputeTables({farReaching});
    ASSERT_EQ(1u, rows.size());
    EXPECT_GT(rows[0].MaxRangeYards, 31000.0);
    EXPECT_EQ(kTableMaxRange, rows[0].MaxRange);

    for (const TTableRow& row : ComputeTables()) {
        EXPECT_LE(row.MaxRange, kTableMaxRange) << row.Gun.Name;
        EXPECT_GE(row.EffectiveRange, 1) << row.Gun.Name;
        EXPECT_LE(row.EffectiveRange, row.MaxRange) << row.Gun.Name;
        // Every range a gun can reach, with 10% to spare for a gun of good quality, has
        // figures.
        const int reach = std::min(kTableRanges, row.MaxRange + row.MaxRange / 10 + 1);
        for (int k = 1; k <= reach; ++k) {
            EXPECT_TRUE(row.Reached[static_cast<std::size_t>(k - 1)]) << row.Gun.Name << " " << k;
        }
    }
}
