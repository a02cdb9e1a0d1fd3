#include "map/Geometry.h"
#include "map/GeoPos.h"
#include "map/GlobeUnits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace tarnwake::map;

namespace {

TGeoPos Deg(double lon, double lat) {
    return TGeoPos{static_cast<std::int32_t>(std::llround(lon * 5'400'000.0)),
                   static_cast<std::int32_t>(std::llround(lat * 5'400'000.0)), 0};
}

} // namespace

TEST(GlobeUnits, TableOrderFactorsAndAbbreviations) {
    EXPECT_EQ(17, kGlobeUnitTypeCount);
    EXPECT_EQ(TGlobeUnitTypes::Yard, GlobeUnitFromNumber(12));
    EXPECT_FALSE(GlobeUnitFromNumber(17).has_value());
    EXPECT_FALSE(GlobeUnitFromNumber(-1).has_value());
    EXPECT_EQ(5'400'000.0, GlobeUnitFactor(TGlobeUnitTypes::Degree));
    EXPECT_EQ(90'000.0, GlobeUnitFactor(TGlobeUnitTypes::NauticalMile));
    EXPECT_EQ(1'500.0, GlobeUnitFactor(TGlobeUnitTypes::Second));
    // A nautical mile is 6,080 feet, 2,026 2/3 yards.
    EXPECT_NEAR(2026.6667, 90'000.0 / GlobeUnitFactor(TGlobeUnitTypes::Yard), 1e-3);
    EXPECT_NEAR(6080.0, 90'000.0 / GlobeUnitFactor(TGlobeUnitTypes::Foot), 1e-3);
    EXPECT_NEAR(1.852, 90'000.0 / GlobeUnitFactor(TGlobeUnitTypes::Kilometer), 1e-12);
    EXPECT_EQ("NM", GlobeUnitAbbreviation(TGlobeUnitTypes::NauticalMile));
    EXPECT_EQ("YD", GlobeUnitAbbreviation(TGlobeUnitTypes::Yard));
    EXPECT_EQ("PI", GlobeUnitAbbreviation(TGlobeUnitTypes::Pixel));
}

TEST(GlobeUnits, ConversionsDivideAndRoundHalfToEven) {
    EXPECT_DOUBLE_EQ(0.5, ToUnits(45'000, TGlobeUnitTypes::NauticalMile));
    EXPECT_NEAR(1013.3333, ToUnits(45'000, TGlobeUnitTypes::Yard), 1e-3);
    EXPECT_EQ(4'441, FromUnits(100.0, TGlobeUnitTypes::Yard)); // 4,440.79
    // Halves go to the even neighbour: 2.5 globe units -> 2, 3.5 -> 4.
    EXPECT_EQ(2, FromUnits(2.5, TGlobeUnitTypes::GlobeUnit));
    EXPECT_EQ(4, FromUnits(3.5, TGlobeUnitTypes::GlobeUnit));
    EXPECT_EQ(-2, FromUnits(-2.5, TGlobeUnitTypes::GlobeUnit));
    // A pixel has no size without a chart view.
    EXPECT_EQ(0.0, ToUnits(1'000, TGlobeUnitTypes::Pixel));
    EXPECT_EQ(0, FromUnits(3.0, TGlobeUnitTypes::Pixel));
}

TEST(Geometry, HalfANauticalMileNorthIs45000UnitsAnd1013Yards) {
    const TGeoPos a = Deg(3.0, 56.0);
    const TGeoPos b{a.lon, a.lat + 45'000, 0};
    EXPECT_EQ(45'000, GreatCircleDistance(a, b));
    EXPECT_NEAR(1013.33, RangeYards(a, b), 0.005);
    EXPECT_EQ(0, BearingBetween(a, b));
    EXPECT_EQ(180, BearingBetween(b, a));
}

TEST(Geometry, CompassBearingsOfTheFourQuarters) {
    const TGeoPos origin = Deg(4.0, 55.0);
    EXPECT_EQ(90, BearingBetween(origin, Deg(4.5, 55.0)));
    EXPECT_EQ(270, BearingBetween(origin, Deg(3.5, 55.0)));
    EXPECT_EQ(0, BearingBetween(origin, Deg(4.0, 55.5)));
    EXPECT_EQ(180, BearingBetween(origin, Deg(4.0, 54.5)));
    // Map-model angles run the other way: due east is a quarter circle clockwise, i.e. -90.
    EXPECT_NEAR(-90.0, InitialBearing(Deg(0, 0), Deg(1, 0)) / 5.4e6, 1e-6);
}

TEST(Geometry, DistanceToTheAntipodeIsHalfACircle) {
    // Rounding can push the haversine past 1; the arcsine then answers a quarter circle.
    const std::int64_t half = GreatCircleDistance(Deg(0, 0), Deg(180, 0));
    EXPECT_NEAR(972'000'000.0, static_cast<double>(half), 2.0);
    EXPECT_NEAR(972'000'000.0,
                static_cast<double>(GreatCircleDistance(Deg(10, 45), Deg(-170, -45))), 2.0);
}

TEST(Geometry, CourseAndAngleConversions) {
    EXPECT_EQ(270 * 5'400'000LL, CourseToAngle(90));
    EXPECT_EQ(360 * 5'400'000LL, CourseToAngle(0));
    EXPECT_EQ(90, AngleToCourse(CourseToAngle(90)));
    EXPECT_EQ(0, AngleToCourse(CourseToAngle(0)));
    EXPECT_EQ(359, AngleToCourse(CourseToAngle(359)));
    EXPECT_EQ(0, AngleToCourse(0));
    EXPECT_EQ(270, AngleToCourse(90 * 5'400'000LL));
    EXPECT_EQ(90'000, AngleToMilliDegrees(-90 * 5'400'000LL));
    EXPECT_EQ(359'999, AngleToMilliDegrees(5'400)); // a thousandth of a degree anticlockwise
    EXPECT_EQ(0, AngleToMilliDegrees(0));
}

TEST(Geometry, AddBearingAndMilliDegrees) {
    const std::tuple<int, int, int> cases[] = {
        {10, -20, 350}, {350, 20, 10}, {0, 0, 0},     {180, 180, 0},
        {359, 1, 0},    {90, -450, 0}, {10, -800, 0}, // a sum below -720 leaves a negative
                                                      // remainder, which becomes 0
    };
    for (const auto& [a, b, expected] : cases) {
        EXPECT_EQ(expected, AddBearing(a, b)) << a << " + " << b;
    }
    EXPECT_EQ(350'000, AddMilliDegrees(10'000, -20'000));
    EXPECT_EQ(5'000, AddMilliDegrees(355'000, 10'000));
}

TEST(Geometry, MovePointGoesWhereTheRangeAndBearingSay) {
    const TGeoPos start = Deg(2.5, 56.25);
    for (const int course : {0, 45, 90, 135, 180, 225, 270, 315}) {
        const TGeoPos end = MovePoint(start, course, 12'000);
        EXPECT_NEAR(12'000.0, RangeYards(start, end), 1.0) << course;
        EXPECT_EQ(course, BearingBetween(start, end)) << course;
        EXPECT_EQ(0, end.height);
    }
    EXPECT_EQ(start, MovePoint(start, 77, 0));
}

TEST(Geometry, MovePointAcrossTheAntimeridianWrapsTheLongitude) {
    const TGeoPos east = MovePoint(Deg(179.99, -10.0), 90, 20 * 2026.6667);
    EXPECT_LT(east.lon, 0);
    EXPECT_GE(east.lon, -972'000'001);
    EXPECT_NEAR(20.0 * 90'000, static_cast<double>(GreatCircleDistance(Deg(179.99, -10.0), east)),
                2.0);
    const TGeoPos west = MovePoint(Deg(-179.99, 10.0), 270, 20 * 2026.6667);
    EXPECT_GT(west.lon, 0);
    EXPECT_LE(west.lon, 972'000'001);
}

TEST(Geometry, WrapLongitudeKeepsTheRange) {
    EXPECT_EQ(972'000'001, WrapLongitude(972'000'001));
    EXPECT_EQ(972'000'002 - 1'944'000'000, WrapLongitude(972'000'002));
    EXPECT_EQ(-972'000'001, WrapLongitude(-972'000'001));
    EXPECT_EQ(-972'000'002 + 1'944'000'000, WrapLongitude(-972'000'002));
    EXPECT_EQ(10, WrapLongitude(10 + 2 * 1'944'000'000LL));
}

TEST(Geometry, PointNearSegment) {
    const TGeoPos a{0, 0, 0};
    const TGeoPos b{1'000, 0, 0};
    struct TCase {
        TGeoPos p;
        double tolerance;
        bool near;
        const char* why;
    };
    const TCase cases[] = {
        {{500, 10, 0}, 11.0, true, "beside the middle"},
        {{500, 10, 0}, 10.0, false, "exactly at the tolerance is not near"},
        {{500, -10, 0}, 11.0, true, "either side"},
        {{1'001, 0, 0}, 100.0, false, "on the line but beyond the end"},
        {{-1, 0, 0}, 100.0, false, "on the line but before the start"},
        {{1'000, 5, 0}, 10.0, true, "beside the end itself"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.near, PointNearSegment(c.p, a, b, c.tolerance)) << c.why;
    }
    EXPECT_FALSE(PointNearSegment(a, a, a, 1e9)) << "a zero-length segment is never near";
}

TEST(Geometry, EdgeCrossingUsesMulDivRounding) {
    // The edge from (0,0) to (3,2) crosses latitude 1 at x = 1.5, rounded away from zero: 2.
    EXPECT_EQ(2, EdgeCrossingX(1, 0, 0, 3, 2));
    EXPECT_TRUE(EdgeCrossesRay(1, 1, 0, 0, 3, 2));
    EXPECT_FALSE(EdgeCrossesRay(2, 1, 0, 0, 3, 2));
    // Half-open in latitude: the lower end counts, the upper one does not.
    EXPECT_TRUE(EdgeCrossesRay(-5, 0, 0, 0, 3, 2));
    EXPECT_FALSE(EdgeCrossesRay(-5, 2, 0, 0, 3, 2));
    EXPECT_TRUE(EdgeCrossesRay(-5, 0, 3, 2, 0, 0)) << "the same edge walked the other way";
    EXPECT_FALSE(EdgeCrossesRay(-5, 0, 0, 0, 3, 0)) << "a level edge never counts";
}
