#pragma once

#include "map/GeoPos.h"
#include "map/GlobeUnits.h"

#include <cstdint>
#include <span>

namespace tarnwake::map {

// ---- Great-circle geometry --------------------------------------------------------------
//
// The Earth is a sphere whose radius is one radian of arc in globe units. Angles used by the
// chart ("map-model angles") are in globe units too and run anticlockwise from north; the
// game's compass courses and bearings run clockwise in whole degrees, and the conversions
// below turn one into the other.

// One radian in globe units, and its inverse.
inline constexpr double kGlobeRadius = 309'397'209.37064453276;
inline constexpr double kRadiansPerGlobeUnit = 3.2320912073969064e-9;
// The destination formula divides by this rounded radius; the rounding is part of the
// game's arithmetic (a long move lands where it always landed), so it stays.
inline constexpr double kDestinationRadius = 309'397'230.0;

// A position with the trigonometry that ranges and bearings need worked out once, for rules
// that measure one ship against many. Ranges and bearings from it are exactly those of the
// plain functions below, which go through it.
struct TSpherePoint {
    double Phi = 0.0;    // latitude, radians
    double Lambda = 0.0; // longitude, radians
    double SinPhi = 0.0;
    double CosPhi = 0.0;
    // The unit vector from the centre of the Earth, for quick "nearer than" tests.
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};
TSpherePoint SpherePoint(const TGeoPos& p);
// The straight line through the Earth between two points on a unit sphere (the chord), for a
// range along the surface; and back. The range from the chord agrees with RangeYards to a small
// fraction of a yard, at a fraction of its cost, for rules that measure many pairs at once.
double ChordOfYards(double yards);
// The arc of a long chord, by its arcsine.
double LongChordYards(double chord);
inline double YardsOfChord(double chord) {
    // The arc of a short chord by its series: within a hundred miles the next term is worth
    // less than a thousandth of a yard.
    constexpr double kShortChord = 0.01;
    constexpr double kYardsPerRadian = kGlobeRadius / kGlobeUnitsPerYard;
    if (chord >= kShortChord) {
        return LongChordYards(chord);
    }
    constexpr double kCubeTerm = 1.0 / 24.0;
    return chord * (1.0 + chord * chord * kCubeTerm) * kYardsPerRadian;
}
inline double ChordSquared(const TSpherePoint& a, const TSpherePoint& b) {
    const double dx = a.X - b.X;
    const double dy = a.Y - b.Y;
    const double dz = a.Z - b.Z;
    return dx * dx + dy * dy + dz * dz;
}

// Globe units between two positions along the great circle (haversine), rounded.
std::int64_t GreatCircleDistance(const TGeoPos& a, const TGeoPos& b);
std::int64_t GreatCircleDistance(const TSpherePoint& a, const TSpherePoint& b);
// The map-model angle (anticlockwise from north, in globe units) from `from` towards `to`.
std::int64_t InitialBearing(const TGeoPos& from, const TGeoPos& to);
std::int64_t InitialBearing(const TSpherePoint& from, const TSpherePoint& to);
// The position reached from `from` going `distance` globe units along the map-model angle.
TGeoPos DestinationPoint(const TGeoPos& from, std::int64_t angle, std::int64_t distance);

// A compass course in degrees (clockwise) as a map-model angle: Round((360 - course) x 5.4e6).
std::int64_t CourseToAngle(double course);
// A map-model angle as a whole compass bearing 0..359, clockwise from true north.
int AngleToCourse(std::int64_t angle);
// A map-model angle as a compass bearing in thousandths of a degree, 0..359,999.
int AngleToMilliDegrees(std::int64_t angle);
// (a + b + 720) mod 360; a result below 0 or above 360 becomes 0. A relative bearing is
// AddBearing(true bearing, -heading).
int AddBearing(int a, int b);
// Any whole number of degrees as a compass course, 0..359.
int NormaliseCourse(int course);
// The turn from one course to another, -179..180 (positive: to starboard).
int SignedTurn(int from, int to);
// The angle between two courses, 0..180, whichever way round.
int CourseDifference(int a, int b);
// (a + b + 360,000) mod 360,000.
int AddMilliDegrees(int a, int b);

// The point `yards` away from `p` on the compass course `course`.
TGeoPos MovePoint(const TGeoPos& p, double course, double yards);
// The whole compass bearing from one position to another.
int BearingBetween(const TGeoPos& from, const TGeoPos& to);
// The range between two positions in yards (not rounded; callers round or compare as their
// rule says).
double RangeYards(const TGeoPos& a, const TGeoPos& b);

// True when `p` lies within `tolerance` globe units of the segment a-b, measured on the
// plain longitude/latitude numbers, and its foot falls within the segment. A zero-length
// segment is never near, and the distance must be strictly below the tolerance.
bool PointNearSegment(const TGeoPos& p, const TGeoPos& a, const TGeoPos& b, double tolerance);

// ---- Point in area -------------------------------------------------------------------------
//
// Land areas and minefields are closed chains of points tested with the even-odd rule: a
// ray from the point towards the east crosses the outline an odd number of times when the
// point is inside. The crossing of an edge is decided in whole globe units so that every
// test, and the land index that speeds it up, answers exactly alike:
//   an edge (x1, y1)-(x2, y2) counts when y lies in [min(y1, y2), max(y1, y2)) and
//   x < x1 + MulDiv(x2 - x1, y - y1, y2 - y1).
//
// Longitudes along a chain are taken the short way round from one point to the next, so an
// island or minefield that straddles the 180th meridian is one area and not a band around
// the world; the tested longitude is tried both as it is and one circle further east.

// Whether the edge counts for the point (x, y), by the rule above.
bool EdgeCrossesRay(std::int64_t x, std::int64_t y, std::int64_t x1, std::int64_t y1,
                    std::int64_t x2, std::int64_t y2);
// x1 + MulDiv(x2 - x1, y - y1, y2 - y1): where the edge crosses latitude y, in whole units.
std::int64_t EdgeCrossingX(std::int64_t y, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                           std::int64_t y2);

// How far the chain's longitudes are shifted once taken the short way round from its first
// point: 0 unless the chain reaches past 180 W, when whole circles are added so that it
// starts within the chart's range.
std::int64_t ChainLongitudeShift(std::span<const TGeoPos> chain);

// The even-odd test of one closed chain at one longitude value (already in the chain's
// unwrapped frame, see ChainLongitudeShift).
bool ChainContains(std::span<const TGeoPos> chain, std::int64_t shift, std::int64_t x,
                   std::int64_t y);

// Calls fn(x1, y1, x2, y2) for every edge of a closed chain in its unwrapped frame,
// the closing edge last.
template <typename Fn>
void ForEachChainEdge(std::span<const TGeoPos> chain, std::int64_t shift, Fn&& fn) {
    if (chain.empty()) {
        return;
    }
    std::int64_t x = chain[0].lon + shift;
    for (std::size_t i = 1; i < chain.size(); ++i) {
        const std::int64_t next = x + LongitudeStep(chain[i - 1].lon, chain[i].lon);
        fn(x, std::int64_t{chain[i - 1].lat}, next, std::int64_t{chain[i].lat});
        x = next;
    }
    const std::int64_t closing = x + LongitudeStep(chain.back().lon, chain.front().lon);
    fn(x, std::int64_t{chain.back().lat}, closing, std::int64_t{chain.front().lat});
}

} // namespace tarnwake::map
