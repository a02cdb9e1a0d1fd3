#include "ai/Navigation.h"

#include "ai/DecisionContext.h"
#include "ai/EnemyKnowledge.h"
#include "ai/Measures.h"
#include "campaign/SearchArea.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Stations.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace tarnwake::ai {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

constexpr int kReverse = 180;
constexpr int kDegreesPerSector = 90;
constexpr int kHalfSector = 45;

// CoursesDiverge: running within 40 degrees of straight away opens the range; heading within
// 29 degrees of the other closes it; courses within 9 degrees of each other are a chase.
constexpr int kRunningAwayAngle = 40;
constexpr int kHeadingAtAngle = 29;
constexpr int kParallelAngle = 9;
// The gap may shrink by less than a twentieth and still count as opening.
constexpr double kOpeningFactor = 1.05;

// Enemies that matter to a course: within 15,000 yards, capital ships within 24,000.
constexpr int kNearEnemyYards = 14999;
constexpr int kFarCapitalYards = 23999;

// TryCourse: the turns tried either side of the course, and how strict each stage is.
constexpr int kFirstTurn = 20;
constexpr int kSecondTurn = 30;
constexpr int kThirdTurn = 50;
constexpr std::array<int, 3> kWideTurns{80, 120, 160};
constexpr int kWideTurnEasing = 5;
constexpr int kSecondStageAngle = 20;
constexpr int kThirdStageAngle = 29;

// TryCourseAvoidClose: each turn tried either side, the clearance it needs, and from which
// largest deviation it is tried.
struct TAvoidStep {
    int Turn;
    int Angle;
    int AboveDeviation;
};
constexpr std::array<TAvoidStep, 6> kAvoidSteps{
    {{0, 90, -1}, {20, 90, -1}, {40, 80, 20}, {70, 80, 40}, {100, 80, 70}, {150, 70, 70}}};

// Land searches step 10 degrees either side.
constexpr int kLandSearchStep = 10;

// TryForHome: the clearance a course home needs, strict near the goal course and a little less
// further off it; less in a protected zone of the side's own, and less again for a division
// others follow.
constexpr int kHomeStrictAngle = 120;
constexpr int kHomeLooseAngle = 110;
constexpr int kProtectedZoneMargin = 40;
constexpr int kFollowedMargin = 5;
constexpr int kHomeNearTurn = 20;
constexpr std::array<int, 5> kHomeWideTurns{30, 50, 70, 90, 120};
// A waypoint on the way home must be more than this far off to be worth steering for.
constexpr double kHomeWaypointYards = 5000.0;
// The main force is worth making for when it lies this near and within this angle of home.
constexpr double kMainForceYards = 350000.0;
constexpr int kMainForceAngle = 90;
constexpr int kMainForceSearch = 10;

// FollowLead.
constexpr int kMixUpPercent = 5;
constexpr int kMixUpStunPercent = 40;
constexpr int kMixUpStunMinutes = 4;
constexpr int kFollowLeadFlagshipAngle = 20;
constexpr int kCloseOnLeadSlowing = 5;
constexpr double kOnFollowPointYards = 300.0;
constexpr double kAbaftFollowPointYards = 800.0;
constexpr double kFarFollowPointYards = 1000.0;
constexpr int kFarSpeedStep = 4;
constexpr int kNearSpeedStep = 2;
constexpr int kBeam = 90;

// KeepTargetInArc: the guns bear from 45 to 135 degrees either side; a correction is rounded
// out by 3 degrees more.
constexpr int kArcForward = 45;
constexpr int kArcAft = 135;
constexpr int kArcAftPort = 225;
constexpr int kArcForwardPort = 315;
constexpr int kArcMargin = 3;

// StanceCourseCheck: a battleship of the own side this near and this fine on a course fouls it.
constexpr std::array<int, 7> kFlagDivisionCourses{0, 20, -20, 50, -50, 80, -80};
constexpr double kFoulingYards = 6000.0;
constexpr int kFoulingAngle = 14;

int Range(const TDecisionContext& context, const TFightingShip& a, const TFightingShip& b) {
    return context.World.SightingPairs.RoundedRange(a, b);
}

int Bearing(const TDecisionContext& context, const TFightingShip& a, const TFightingShip& b) {
    return context.World.SightingPairs.Bearing(a, b);
}

int Relative(int bearing, const TFightingShip& from) {
    return map::AddBearing(bearing, -from.Course());
}

bool Capital(TShipType type) {
    return designs::TypeIndex(type) <= designs::TypeIndex(TShipType::CA);
}

bool Blocked(const TDecisionContext& context, const TFightingShip& ship, int course, double yards) {
    return context.World.Chart.IsBlocked(map::MovePoint(ship.Position(), course, yards), &ship);
}

// Calls `clear` with course + turn and then course - turn; the first that is clear becomes the
// course.
template <typename Clear> bool EitherSide(int& course, int turn, int angle, Clear&& clear) {
    for (const int sign : {1, -1}) {
        const int candidate = map::AddBearing(course, sign * turn);
        if (clear(candidate, angle)) {
            course = candidate;
            return true;
        }
    }
    return false;
}

bool InProtectedZone(const engine::TGameWorld& world, const TFightingShip& ship) {
    return std::any_of(world.SearchAreas.begin(), world.SearchAreas.end(), [&](const auto& area) {
        return area->Side == ship.Side && area->Category == campaign::saProtectedZone &&
               area->Marker->ContainsPoint(ship.Position());
    });
}

// Some division of the force follows this one in its line (detached ships aside).
bool Followed(const TDivision& division) {
    if (division.Force == nullptr) {
        return false;
    }
    return std::any_of(division.Force->Divisions.begin(), division.Force->Divisions.end(),
                       [&](const TDivision* d) {
                           return d->LeadDiv == &division && d->Role == combat::roleCore &&
                                  d->DivisionName.find('*') == std::string::npos;
                       });
}

} // namespace

int Sector(int relative) {
    return ((relative + kHalfSector) % 360) / kDegreesPerSector + 1;
}

bool CoursesDiverge(const TDecisionContext& context, const TFightingShip& ship,
                    const TFightingShip& other, int course) {
    if (course == kPresentCourse) {
        course = ship.Course();
    }
    const int otherCourse = context.Enemy.Course(other);
    if (map::CourseDifference(course, otherCourse) <= kParallelAngle) {
        return false;
    }
    const int bearing = Bearing(context, ship, other);
    if (map::CourseDifference(course, map::AddBearing(bearing, kReverse)) < kRunningAwayAngle) {
        return true;
    }
    if (map::CourseDifference(course, bearing) <= kHeadingAtAngle) {
        return false;
    }
    const double range = context.World.SightingPairs.Range(ship, other);
    const map::TGeoPos ahead = map::MovePoint(ship.Position(), course, range / 2.0);
    const map::TGeoPos otherAhead = map::MovePoint(other.Position(), otherCourse, range / 2.0);
    return range < kOpeningFactor * map::RangeYards(ahead, otherAhead);
}

bool CourseClearOfEnemies(const TDecisionContext& context, const TFightingShip& ship, int course,
                          int minAngle) {
    if (ship.ShipType == TShipType::DD) {
        return true;
    }
    for (const TFightingShip* other : ship.Sighted) {
        if (other->Side == ship.Side) {
            continue;
        }
        const TShipType type = context.Enemy.Type(*other);
        if (type == TShipType::DD) {
            continue;
        }
        const int range = Range(context, ship, *other);
        if (range > kNearEnemyYards && !(Capital(type) && range <= kFarCapitalYards)) {
            continue;
        }
        if (map::CourseDifference(course, Bearing(context, ship, *other)) >= minAngle) {
            continue;
        }
        // Only an enemy the course would run into is asked whether the course already opens
        // from it: the costly test, for the few that need it.
        if (!CoursesDiverge(context, ship, *other, course)) {
            return false;
        }
    }
    return true;
}

bool CourseClearOfNearEnemies(const TDecisionContext& context, const TFightingShip& ship,
                              int course, int maxRange, int minAngle) {
    for (const TFightingShip* other : ship.Sighted) {
        if (context.World.SightingPairs.Range(ship, *other) < maxRange &&
            map::CourseDifference(course, Bearing(context, ship, *other)) < minAngle) {
            return false;
        }
    }
    return true;
}

bool TryCourse(const TDecisionContext& context, const TDivision& division, int& course,
               int minAngle) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr) {
        return false;
    }
    bool found = false;
    context.Guarded(
        "TryCourse", [&] { return "Division: " + division.DivisionName; },
        [&] {
            const auto clear = [&](int candidate, int angle) {
                return CourseClearOfEnemies(context, *flag, candidate, angle);
            };
            int tried = course;
            found =
                clear(tried, minAngle) || EitherSide(tried, kFirstTurn, minAngle, clear) ||
                (minAngle > kSecondStageAngle && EitherSide(tried, kSecondTurn, minAngle, clear));
            if (!found && minAngle > kThirdStageAngle) {
                found = EitherSide(tried, kThirdTurn, minAngle, clear);
                for (std::size_t i = 0; !found && i < kWideTurns.size(); ++i) {
                    found = EitherSide(tried, kWideTurns[i], minAngle - kWideTurnEasing, clear);
                }
            }
            if (found) {
                course = tried;
            }
        });
    return found;
}

bool TryCourseAvoidClose(const TDecisionContext& context, const TFightingShip& ship, int& course,
                         int maxDeviation, int maxRange) {
    bool found = false;
    context.Guarded(
        "TryCourseAvoidClose", [&] { return "Division: " + ship.IdentifiedName(); },
        [&] {
            const auto clear = [&](int candidate, int angle) {
                return CourseClearOfNearEnemies(context, ship, candidate, maxRange, angle);
            };
            int tried = course;
            for (const TAvoidStep& step : kAvoidSteps) {
                if (maxDeviation <= step.AboveDeviation) {
                    return;
                }
                found = step.Turn == 0 ? clear(tried, step.Angle)
                                       : EitherSide(tried, step.Turn, step.Angle, clear);
                if (found) {
                    course = tried;
                    return;
                }
            }
            // Boxed in on every side: she turns about.
            course = map::AddBearing(ship.OrderedCourse, kReverse);
        });
    return found;
}

bool IsFreeOfLandInDirection(const TDecisionContext& context, const TFightingShip& ship,
                             int distance, int maxDeviation, int& course) {
    // Each candidate is tested along its own track, at its end and halfway there.
    const auto free = [&](int candidate, int) {
        return !Blocked(context, ship, candidate, distance) &&
               !Blocked(context, ship, candidate, distance / 2.0);
    };
    if (free(course, 0)) {
        return true;
    }
    for (int k = 1; k <= maxDeviation / kLandSearchStep; ++k) {
        if (EitherSide(course, k * kLandSearchStep, 0, free)) {
            return true;
        }
    }
    return false;
}

std::optional<int> FreeCourseNear(const TDecisionContext& context, const TFightingShip& ship,
                                  int distance, int maxDeviation, int course) {
    int tried = course == kOrderedCourse ? ship.OrderedCourse : course;
    const auto free = [&](int candidate, int) {
        return !Blocked(context, ship, candidate, distance);
    };
    if (free(tried, 0)) {
        return tried;
    }
    for (int k = 1; k <= maxDeviation / kLandSearchStep; ++k) {
        if (EitherSide(tried, k * kLandSearchStep, 0, free)) {
            return tried;
        }
    }
    return std::nullopt;
}

int AdjustAngleTowardsFriendlyBase(const TDecisionContext& context, const TDivision& division,
                                   int course, int step) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr) {
        return course;
    }
    try {
        map::TGeoPos base;
        std::string title;
        if (!context.World.NearestBase(*flag, base, title)) {
            return course;
        }
        const int toBase = map::BearingBetween(flag->Position(), base);
        return map::AddBearing(course, map::SignedTurn(course, toBase) < 0 ? -step : step);
    } catch (const std::exception& e) {
        context.World.Messages().Error(
            std::string("Error in AdjustAngleTowardsFriendlyBase function!\n") + e.what());
    }
    return course;
}

bool TryForHome(const TDecisionContext& context, TDivision& division, int& course) {
    const TFightingShip* flag = division.Flagship();
    combat::TForce* force = division.Force;
    if (flag == nullptr) {
        return false;
    }
    bool found = false;
    context.Guarded(
        "TryForHome", [&] { return "Division: " + division.DivisionName; },
        [&] {
            engine::TGameWorld& world = context.World;
            const map::TGeoPos at = flag->Position();
            int margin = 0;
            std::optional<map::TGeoPos> goal;
            if (world.Campaign) {
                if (InProtectedZone(world, *flag)) {
                    margin = kProtectedZoneMargin;
                }
                map::TGeoPos base;
                std::string title;
                if (world.NearestBase(*flag, base, title)) {
                    goal = base;
                }
            }
            if (!goal && force != nullptr) {
                goal = force->Home;
            }
            if (!goal) {
                return;
            }
            if (Followed(division)) {
                margin -= kFollowedMargin;
            }
            int homeCourse = map::BearingBetween(at, *goal);
            if (force != nullptr && flag->Sighted.empty()) {
                const double fromGoal = map::RangeYards(at, *goal);
                for (std::size_t i = static_cast<std::size_t>(std::max(division.WaypointIndex, 0));
                     i < force->Waypoints.size(); ++i) {
                    const map::TGeoPos& waypoint = force->Waypoints[i];
                    if (map::RangeYards(waypoint, *goal) < fromGoal &&
                        map::RangeYards(at, waypoint) > kHomeWaypointYards) {
                        homeCourse = map::BearingBetween(at, waypoint);
                        break;
                    }
                }
            }
            if (force != nullptr && force->MainForce != nullptr) {
                if (const TFightingShip* mainFlag = force->MainForce->ForceFlagship()) {
                    int toMain = map::BearingBetween(at, mainFlag->Position());
                    const double range = map::RangeYards(at, mainFlag->Position());
                    if (map::CourseDifference(homeCourse, toMain) < kMainForceAngle &&
                        range < kMainForceYards &&
                        IsFreeOfLandInDirection(context, *flag, static_cast<int>(range / 2.0),
                                                kMainForceSearch, toMain)) {
                        homeCourse = toMain;
                    }
                }
            }
            const auto clear = [&](int candidate, int angle) {
                return CourseClearOfEnemies(context, *flag, candidate, angle);
            };
            const int strict = kHomeStrictAngle - margin;
            const int loose = kHomeLooseAngle - margin;
            int tried = homeCourse;
            found = clear(tried, strict) || EitherSide(tried, kHomeNearTurn, strict, clear);
            for (std::size_t i = 0; !found && i < kHomeWideTurns.size(); ++i) {
                found = EitherSide(tried, kHomeWideTurns[i], loose, clear);
            }
            if (found) {
                course = tried;
            } else if (homeCourse == 0) {
                context.Note(division,
                             "Warning - " + division.DivisionName + " Go for home course 0!");
            }
        });
    return found;
}

std::optional<TFollowLead> FollowLead(const TDecisionContext& context, TDivision& division) {
    TFightingShip* flag = division.Flagship();
    const TDivision* lead = division.LeadDiv;
    if (flag == nullptr || lead == nullptr || !lead->HasShips()) {
        return std::nullopt;
    }
    engine::TGameWorld& world = context.World;
    core::TRandomGenerator& random = world.Random();
    // A division without its route has misread the signals: it holds on, and the confusion on
    // the bridge may last a few minutes.
    if (division.WaypointIndex == -1 && random.Random(100) < kMixUpPercent) {
        if (random.Random(100) < kMixUpStunPercent) {
            flag->OutOfControl = random.Random(kMixUpStunMinutes) + 1;
        }
        return TFollowLead{division.Course, std::nullopt, "on FOLLOW LEAD - ADMIN MESSUP"};
    }
    const std::optional<combat::TLeadPoints> points = combat::LeadPoint(division, world);
    if (!points) {
        return std::nullopt;
    }
    const TFightingShip& leadFlag = *lead->Flagship();
    const map::TGeoPos at = flag->Position();
    const auto offBow = [&](const map::TGeoPos& p) {
        return map::CourseDifference(0, Relative(map::BearingBetween(at, p), *flag));
    };
    const int leadOffBow =
        map::CourseDifference(0, Relative(Bearing(context, *flag, leadFlag), *flag));
    const int stationOffBow = offBow(points->P);
    TFollowLead follow;
    if (leadOffBow < stationOffBow && stationOffBow > kFollowLeadFlagshipAngle) {
        follow.Course = Bearing(context, *flag, leadFlag);
        follow.Reason = "on FOLLOW LEAD FLAGSHIP ";
        const double column = static_cast<double>(lead->Ships.size()) * combat::kLineSpacingYards;
        if (context.World.SightingPairs.Range(*flag, leadFlag) < column) {
            follow.Speed = leadFlag.CurrentSpeed - kCloseOnLeadSlowing;
        }
        return follow;
    }
    follow.Course = map::BearingBetween(at, points->P);
    follow.Reason = "on FOLLOW LEAD ";
    const double toFollowPoint = map::RangeYards(at, points->Q);
    if (toFollowPoint < kOnFollowPointYards) {
        follow.Speed = lead->Speed;
        return follow;
    }
    const int step = toFollowPoint >= kFarFollowPointYards ? kFarSpeedStep : kNearSpeedStep;
    const int relative = Relative(map::BearingBetween(at, points->Q), *flag);
    const bool abaft = relative > kBeam && relative < 360 - kBeam;
    follow.Speed =
        abaft && toFollowPoint < kAbaftFollowPointYards ? lead->Speed - step : lead->Speed + step;
    return follow;
}

TWaypointCourse NextWaypointCourse(const TDecisionContext& context, combat::TForce& force,
                                   int index, const TFightingShip& flagship) {
    TWaypointCourse next;
    next.Point = force.WaypointFor(index, context.World, next.Reason);
    next.Course = map::BearingBetween(flagship.Position(), next.Point);
    return next;
}

int KeepTargetInArc(int course, int bearing, int limit) {
    const int r = map::AddBearing(bearing, -course);
    int turn = 0;
    if (r < kArcForward) {
        turn = r - kArcForward;
    } else if (r > kArcAft && r < kReverse) {
        turn = r - kArcAft;
    } else if (r >= kReverse && r < kArcAftPort) {
        turn = r - kArcAftPort;
    } else if (r > kArcForwardPort) {
        turn = r - kArcForwardPort;
    }
    if (turn == 0 || std::abs(turn) >= limit) {
        return course;
    }
    return map::AddBearing(course, turn < 0 ? turn - kArcMargin : turn + kArcMargin);
}

bool StanceCourseCheck(const TDecisionContext& context, const TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr || division.Role != combat::roleIndependent || !division.FlagDivisionMark) {
        return true;
    }
    const auto fouled = [&](int course) {
        return std::any_of(
            flag->NearFriends.begin(), flag->NearFriends.end(), [&](const TFightingShip* f) {
                return f->Side == flag->Side &&
                       designs::IsOneOf(f->ShipType, {TShipType::BB, TShipType::B}) &&
                       context.World.SightingPairs.Range(*flag, *f) < kFoulingYards &&
                       map::CourseDifference(course, Bearing(context, *flag, *f)) <= kFoulingAngle;
            });
    };
    return std::any_of(kFlagDivisionCourses.begin(), kFlagDivisionCourses.end(),
                       [&](int turn) { return !fouled(map::AddBearing(division.Course, turn)); });
}

int EnemyRelativeBearing(const TDecisionContext& context, const TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr || NearestEnemy(context, *flag) == nullptr) {
        return -1;
    }
    const TFightingShip* from = nullptr;
    const TFightingShip* enemy = nullptr;
    int best = 0;
    for (const TFightingShip* ship : division.Ships) {
        const TFightingShip* nearest = NearestEnemy(context, *ship);
        if (nearest == nullptr) {
            continue;
        }
        const int range = Range(context, *ship, *nearest);
        if (enemy == nullptr || range < best) {
            from = ship;
            enemy = nearest;
            best = range;
        }
    }
    return Relative(Bearing(context, *from, *enemy), *from);
}

} // namespace tarnwake::ai
