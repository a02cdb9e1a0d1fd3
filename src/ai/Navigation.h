#pragma once

#include "map/GeoPos.h"

#include <optional>
#include <string>

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
class TForce;
} // namespace tarnwake::combat

namespace tarnwake::ai {

class TDecisionContext;

// The helpers the computer's course rules bend a goal course with: away from enemies, land and
// friends, towards home, after a lead or along the route. Courses are whole compass degrees
// kept in 0..359 (every sum goes through map::AddBearing), ranges yards. The signed angle
// between two courses is map::SignedTurn, the angle between them map::CourseDifference.

// The sector in which a ship at relative bearing `relative` lies: 1 ahead, 2 starboard,
// 3 astern, 4 port.
int Sector(int relative);

// The course argument of CoursesDiverge that means the ship's present course.
inline constexpr int kPresentCourse = 700;
// The course argument of FreeCourseNear that means the ship's ordered course.
inline constexpr int kOrderedCourse = 999;

// Whether on `course` the ship would open the range from `other`, itself on its own course:
// yes when she runs straight away; no when she heads at it or the two steam parallel (a chase
// keeps the gap); otherwise whether, each having run half the present range, the gap has not
// shrunk by a twentieth.
bool CoursesDiverge(const TDecisionContext& context, const combat::TFightingShip& ship,
                    const combat::TFightingShip& other, int course);
// Whether `course` keeps at least `minAngle` degrees from the bearing of every sighted enemy
// that matters: enemies within 15,000 yards (capital ships within 24,000) that the course does
// not already open from. Destroyers neither count nor care.
bool CourseClearOfEnemies(const TDecisionContext& context, const combat::TFightingShip& ship,
                          int course, int minAngle);
// No sighted ship lies within `maxRange` yards and within `minAngle` degrees of `course`.
bool CourseClearOfNearEnemies(const TDecisionContext& context, const combat::TFightingShip& ship,
                              int course, int maxRange, int minAngle);
// The first of the course and its neighbours (±20, then ±30 and ±50 when the angle allows,
// then ±80, ±120, ±160 a little less strictly) that the flagship finds clear of enemies
// replaces `course`. False, the course unchanged, when none is.
bool TryCourse(const TDecisionContext& context, const combat::TDivision& division, int& course,
               int minAngle);
// A course near `course` that keeps the ship clear of sighted ships within `maxRange` yards,
// trying up to `maxDeviation` degrees either side. When even the widest turns fail, she turns
// about from her ordered course (and the answer is still false).
bool TryCourseAvoidClose(const TDecisionContext& context, const combat::TFightingShip& ship,
                         int& course, int maxDeviation, int maxRange);
// The first of `course`, course ±10, ±20 ... up to `maxDeviation` on which neither the point
// `distance` yards ahead nor the one halfway there is land, coast or a minefield barring the
// ship replaces `course`; false when none is.
bool IsFreeOfLandInDirection(const TDecisionContext& context, const combat::TFightingShip& ship,
                             int distance, int maxDeviation, int& course);
// The first of `course` (kOrderedCourse: her ordered course), course ±10, ±20 ... up to
// `maxDeviation` whose point `distance` yards ahead is not barred to the ship; none when
// every one is.
std::optional<int> FreeCourseNear(const TDecisionContext& context,
                                  const combat::TFightingShip& ship, int distance, int maxDeviation,
                                  int course);
// The course turned `step` degrees towards the nearest friendly base; unchanged when the side
// has none.
int AdjustAngleTowardsFriendlyBase(const TDecisionContext& context,
                                   const combat::TDivision& division, int course, int step);
// A way home clear of enemies: towards the home point (a campaign's nearest base), by a
// waypoint still ahead on the way or the main force's flagship, then the first of the goal
// course and its neighbours up to ±120 that keeps clear of the enemy. False, the course
// unchanged, when none does.
bool TryForHome(const TDecisionContext& context, combat::TDivision& division, int& course);

// What following the lead gives: a course, perhaps a speed, and the reason.
struct TFollowLead {
    int Course = 0;
    std::optional<int> Speed;
    std::string Reason;
};
// A core division keeps station on its lead: for the station point, or for the lead's
// flagship when that lies nearer the bow; its speed by the point it follows past. None
// without a lead to follow.
std::optional<TFollowLead> FollowLead(const TDecisionContext& context, combat::TDivision& division);

// Where the force's route leads the flagship of a division at waypoint index `index`.
struct TWaypointCourse {
    map::TGeoPos Point;
    int Course = 0;
    std::string Reason;
};
TWaypointCourse NextWaypointCourse(const TDecisionContext& context, combat::TForce& force,
                                   int index, const combat::TFightingShip& flagship);

// The course turned so that an enemy fine on the bow or quarter (bearing `bearing`) comes at
// least 48 degrees off the bow or stern and the guns bear, when the turn needed is less than
// `limit`; otherwise `course` unchanged.
int KeepTargetInArc(int course, int bearing, int limit);
// False only for an independent flag division whose every course near its own (±20, ±50,
// ±80) runs into a battleship of its own side close aboard.
bool StanceCourseCheck(const TDecisionContext& context, const combat::TDivision& division);
// The relative bearing of the nearest enemy of any ship of the division from that ship's bow;
// -1 when the flagship has none in sight.
int EnemyRelativeBearing(const TDecisionContext& context, const combat::TDivision& division);

} // namespace tarnwake::ai
