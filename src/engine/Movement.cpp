#include "engine/Movement.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Stations.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "engine/ComputerOpponent.h"
#include "engine/GameWorld.h"
#include "engine/Hazards.h"
#include "engine/Sighting.h"
#include "engine/Smoke.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "map/GlobeLayer.h"
#include "map/GlobeUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace tarnwake::engine {

using combat::kLightNight;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;
using map::AddBearing;
using map::MovePoint;
using map::TGeoPos;
using map::TLandRule;

namespace {

constexpr int kMaxShipSpeed = 40;
constexpr int kMineLayingSpeed = 10;
constexpr double kRescueRangeYards = 3000.0;
constexpr int kRescueSpeed = 5;
constexpr double kLandAheadYards = 100.0;
constexpr int kSpeedBeforeLand = 5;
constexpr int kSpeedBeforeMinefield = 10;
constexpr int kSubStepsPerMinuteBase = 240;

// Clear-course refinement of every steering sub-step: look far, then nearer and nearer.
constexpr double kClearCourseSteps[] = {3000.0, 1500.0, 250.0, 50.0};
constexpr int kClearCourseSpan = 160;

using map::CourseDifference;
using map::NormaliseCourse;

int BearingTo(const TFightingShip& from, const TGeoPos& to) {
    return map::BearingBetween(from.Position(), to);
}

int D(const TGameWorld& world) {
    return GameSpeed(world.SpeedIndex).D;
}

// A point is blocked for a ship when it lies in a minefield its side knows of, or on land;
// the ship's own motion tests only dry land, course finding the coast as well.
bool Blocked(TGameWorld& world, const TGeoPos& p, const TFightingShip* ship, TLandRule rule) {
    return world.Chart.IsBlocked(p, ship, rule);
}

// Steering toward a point sets the ordered course only; the turn comes in MoveShipStep.
void SteerFor(TFightingShip& ship, const TGeoPos& point) {
    ship.OrderedCourse = BearingTo(ship, point);
}

// Speed keeping on a station point: close up fast from afar, ease off on arrival.
int StationSpeed(double yardsFromStation, int baseSpeed) {
    if (yardsFromStation < 200.0) {
        return baseSpeed - 1;
    }
    if (yardsFromStation <= 500.0) {
        return baseSpeed;
    }
    return baseSpeed + 4;
}

void AddWakePoint(TFightingShip& ship, const TGeoPos& p) {
    if (ship.WakeCount < TFightingShip::kWakePoints) {
        ship.Wake[static_cast<std::size_t>(ship.WakeCount++)] = p;
        return;
    }
    std::rotate(ship.Wake.begin(), ship.Wake.begin() + 1, ship.Wake.end());
    ship.Wake.back() = p;
}

// Wakes fade: points near the ship go with the wind, older ones faster. A wake only shows, so
// its fading is drawn from the cosmetic generator.
void TrimWake(TGameWorld& world, TFightingShip& ship) {
    const int wind = world.Environment.WindForce;
    int kept = 0;
    for (int i = 0; i < ship.WakeCount; ++i) {
        const int age = ship.WakeCount - 1 - i;
        const int chance = age < 2 ? wind + 25 : (age < 20 ? 2 * wind + 36 : 2 * wind + 46);
        if (world.Cosmetic().Random(100) >= chance) {
            ship.Wake[static_cast<std::size_t>(kept++)] = ship.Wake[static_cast<std::size_t>(i)];
        }
    }
    ship.WakeCount = kept;
}

// Ordered course of ship i by its division's formation (first rule that applies).
void SetFormationCourse(TGameWorld& world, TDivision& division, std::size_t i,
                        TFightingShip& ship) {
    switch (ship.RudderStatus) {
    case 1:
        ship.OrderedCourse = NormaliseCourse(ship.Course() + 179);
        return;
    case 2:
        ship.OrderedCourse = ship.Course();
        return;
    case 3:
        ship.OrderedCourse = NormaliseCourse(ship.Course() - 179);
        return;
    default:
        break;
    }
    if (ship.OutOfControl > 0 || ship.OwnCourse) {
        return;
    }
    const int formation = division.Formation;
    if (formation == combat::formSearchLine || formation == combat::formScreen) {
        if (i == 0) {
            ship.OrderedCourse = division.Course;
            return;
        }
        const TDivision* lead = division.LeadDiv;
        const TFightingShip* leadFlag = lead != nullptr ? lead->Flagship() : nullptr;
        // A cruiser that has been fighting at long range draws ahead of the lead to engage.
        const bool fighting = (ship.ShipType == TShipType::CL && ship.ShotsFired >= 7) ||
                              (ship.ShipType == TShipType::CA && ship.ShotsFired >= 11);
        if (fighting && leadFlag != nullptr && combat::RangeYards(ship, *leadFlag) >= 8001.0) {
            SteerFor(ship, combat::PointAhead(*leadFlag, 3000 - 400 * static_cast<int>(i)));
        } else if (i < division.StationPoints.size()) {
            SteerFor(ship, division.StationPoints[i]);
        } else {
            ship.OrderedCourse = division.Course;
        }
        const int baseSpeed = lead != nullptr ? lead->Speed : division.Speed;
        if (i < division.StationPoints.size()) {
            ship.OrderedSpeed = StationSpeed(
                map::RangeYards(ship.Position(), division.StationPoints[i]), baseSpeed);
        }
        return;
    }
    if (division.TurnTogether) {
        ship.OrderedCourse = division.Course;
        return;
    }
    // Line ahead or line abreast.
    if (i == 0) {
        if (ship.OrderedCourse != division.Course) {
            // The followers turn where the flagship turned, each one interval further on.
            for (std::size_t j = 1; j < division.Ships.size(); ++j) {
                TFightingShip& follower = *division.Ships[j];
                if (follower.TurnDelay <= 0.0) {
                    follower.TurnDelay = static_cast<double>(j) * kStationInterval;
                }
            }
        }
        ship.OrderedCourse = division.Course;
        return;
    }
    TFightingShip& ahead = *division.Ships[i - 1];
    TFightingShip& flag = *division.Ships[0];
    if (ship.LayingMinefield()) {
        // A minelayer lays its field abeam of the flagship, out of the column's track.
        SteerFor(ship, MovePoint(flag.Position(), AddBearing(flag.Course(), 90),
                                 static_cast<double>(i) * 1000.0));
        return;
    }
    const double gap = combat::RangeYards(ship, ahead);
    if (ship.TurnDelay <= 0.0 || gap > 2 * kStationInterval) {
        ship.TurnDelay = 0.0;
        const int aheadBearing = ship.GetBearingToShip(&ahead, world.Messages());
        const bool abaft = aheadBearing >= 91 && aheadBearing <= 269;
        if (abaft && ship.CurrentMaxSpeed() < division.Speed) {
            // Overtaking a slower ship ahead: ease out of the line a little.
            if (world.Random().Random(100) < 60 &&
                CourseDifference(ship.Course(), ahead.Course()) < 5) {
                int nudge = 0;
                if (ship.CurrentTarget != nullptr) {
                    const int r = ship.GetBearingToShip(ship.CurrentTarget, world.Messages());
                    nudge = r >= 1 && r <= 180 ? -2 : 2;
                } else {
                    nudge = world.Random().Random(2) == 0 ? -1 : 1;
                }
                ship.OrderedCourse = NormaliseCourse(ship.OrderedCourse + nudge);
            } else if (CourseDifference(ship.Course(), ahead.Course()) >= 6) {
                SteerFor(ship, flag.Position());
            }
        } else {
            SteerFor(ship, ahead.Position());
        }
        if (combat::RangeYards(ship, flag) > 1000.0 * static_cast<double>(division.Ships.size())) {
            SteerFor(ship, flag.Position());
        }
    } else {
        // Still short of the turning point: run on and count the distance down.
        ship.TurnDelay -= ship.LastRunYards;
    }
}

} // namespace

int MaxSpeedForWind(int windForce) {
    if (windForce >= 10) {
        return 16;
    }
    switch (windForce) {
    case 9:
        return 20;
    case 8:
        return 21;
    case 7:
        return 22;
    case 6:
        return 23;
    default:
        return kMaxShipSpeed;
    }
}

int TurnRate(int displacement, int speed, bool landTarget) {
    if (landTarget || speed <= 0) {
        return 0;
    }
    if (speed <= 2) {
        return 15;
    }
    if (speed <= 4) {
        return 25;
    }
    if (displacement < 4000) {
        return 120;
    }
    if (displacement < 7000) {
        return 100;
    }
    if (displacement < 10000) {
        return 80;
    }
    if (displacement < 14000) {
        return 70;
    }
    if (displacement < 21000) {
        return 60;
    }
    if (displacement < 29000) {
        return 55;
    }
    return 40;
}

void MoveAllShips(TGameWorld& world, bool fullStep, bool steering) {
    for (auto& owned : world.Divisions) {
        TDivision& d = *owned;
        // A division whose lead has gone takes up its own station again.
        if (d.LeadDiv == nullptr && d.Role != combat::roleIndependent) {
            if (d.Role == combat::roleSupport) {
                d.Formation = combat::formLineAhead;
            }
            if (d.Role != combat::rolePatrol) {
                d.Role = combat::roleIndependent;
            }
            if (d.Formation == combat::formScreen) {
                d.Formation = combat::formSearchLine;
            }
        }
        MoveDivisionShips(world, d, fullStep, steering);
        // The flag flies where the flagship now is, so that picks and the chart agree.
        if (d.FlagMarker) {
            if (const TFightingShip* flag = d.Flagship(); flag != nullptr && flag->Marker) {
                d.FlagMarker->SetStoredPoint(flag->Position());
            }
        }
    }
    RunGuarded(world.Messages(), "DriftSmokeFloats", "", [&] { DriftSmokeFloats(world); });
}

void MoveDivisionShips(TGameWorld& world, TDivision& division, bool fullStep, bool steering) {
    std::size_t index = 0;
    try {
        if (steering) {
            if (division.Formation == combat::formScreen) {
                combat::UpdateScreenPoints(division, world);
            } else if (division.Formation == combat::formSearchLine) {
                combat::UpdateSearchLinePoints(division, world);
            }
        }
        TFightingShip* flag = division.Flagship();
        if (flag != nullptr && division.RescueTarget != nullptr &&
            combat::RangeYards(*flag, *division.RescueTarget) < kRescueRangeYards) {
            division.Speed = kRescueSpeed;
        }
        for (index = 0; index < division.Ships.size(); ++index) {
            TFightingShip& ship = *division.Ships[index];
            if (!ship.InPlay() || ship.IsLandTarget()) {
                ship.OrderedSpeed = 0;
                continue;
            }
            if (steering && ship.TimeToRaiseSteam <= 0) {
                ship.OrderedSpeed = division.Speed;
                SetFormationCourse(world, division, index, ship);
                for (double distance : kClearCourseSteps) {
                    ship.OrderedCourse = FindClearCourse(world, ship, distance, kClearCourseSpan,
                                                         ship.OrderedCourse);
                }
                const TGeoPos ahead =
                    MovePoint(ship.Position(), ship.OrderedCourse, kLandAheadYards);
                if (world.Chart.IsOnLand(ahead)) {
                    ship.CurrentSpeed = std::min(ship.CurrentSpeed, kSpeedBeforeLand);
                } else if (Blocked(world, ahead, &ship, TLandRule::LandOnly)) {
                    ship.CurrentSpeed = std::min(ship.CurrentSpeed, kSpeedBeforeMinefield);
                }
            }

            const bool column = division.Formation == combat::formLineAhead;
            if (!column || index == 0) {
                CheckAvoidCloseEnemy(world, division, ship);
                ship.LastRunYards = MoveShipStep(world, ship, false);
            } else {
                TFightingShip& ahead = *division.Ships[index - 1];
                const double gap = combat::RangeYards(ship, ahead);
                if (gap < kStationInterval + ahead.LastRunYards) {
                    // Too close to the ship ahead: drop back into station.
                    ship.OrderedSpeed = division.Speed - 1;
                    if (ship.CurrentSpeed > division.Speed - 1) {
                        --ship.CurrentSpeed;
                        if (gap < kStationInterval + ahead.LastRunYards - 100.0 &&
                            ship.CurrentSpeed > division.Speed - 2) {
                            --ship.CurrentSpeed;
                        }
                    }
                    if (flag != nullptr && flag->CurrentMaxSpeed() < division.Speed) {
                        ship.OrderedSpeed = flag->CurrentMaxSpeed();
                    }
                    CheckAvoidCloseEnemy(world, division, ship);
                    ship.LastRunYards = MoveShipStep(world, ship, true);
                } else {
                    if (gap <= kStationInterval + 40.0) {
                        ship.OrderedSpeed = division.Speed;
                    } else if (ship.CurrentMaxSpeed() > division.Speed) {
                        // Fallen astern: close up on a clear course.
                        ship.OrderedCourse =
                            FindClearCourse(world, ship, 200.0, 90, ship.OrderedCourse);
                        ship.OrderedCourse =
                            FindClearCourse(world, ship, 50.0, 90, ship.OrderedCourse);
                        ship.OrderedSpeed =
                            division.Speed + (gap <= kStationInterval + 100.0 ? 1 : 2);
                    }
                    CheckAvoidCloseEnemy(world, division, ship);
                    ship.LastRunYards = MoveShipStep(world, ship, false);
                }
            }

            if (world.SubStepsLeft == 1) {
                CheckMineStrike(world, ship);
            }
            // A ship driven onto land or into a known minefield is put back in free water.
            if (Blocked(world, ship.Position(), &ship, TLandRule::LandOnly)) {
                const TGeoPos free = map::RandomFreePointNear(world.Chart, ship.Position(), 200, 0,
                                                              &ship, world.Random());
                ship.SetPosition(free);
            }
            if (fullStep) {
                AddWakePoint(ship, ship.Position());
                TrimWake(world, ship);
            }
        }
    } catch (const std::exception& e) {
        world.Messages().Error(
            "Error in MoveDivisionShips procedure!\rDivision: " + division.DivisionName +
            "\nShipno: " + std::to_string(index) + "\n" + e.what());
    }
}

double MoveShipStep(TGameWorld& world, TFightingShip& ship, bool closeUp) {
    if (ship.IsLandTarget()) {
        return 0.0;
    }
    try {
        int speed = std::min(ship.CurrentSpeed, MaxSpeedForWind(world.Environment.WindForce));
        if (ship.LayingMinefield()) {
            speed = std::min(speed, std::min(kMineLayingSpeed, ship.CurrentMaxSpeed()));
        }
        ship.CurrentSpeed = std::clamp(speed, 0, kMaxShipSpeed);

        const int subSteps = kSubStepsPerMinuteBase / D(world);
        if (ship.Course() != ship.OrderedCourse &&
            (!ship.ElectricDisabled || world.Random().Random(100) <= 49)) {
            const int rate = TurnRate(ship.Displacement, ship.CurrentSpeed, false);
            const int step = static_cast<int>(core::Round(rate * 1000.0 / subSteps));
            const int target = NormaliseCourse(ship.OrderedCourse) * 1000;
            int remaining = target - ship.CourseMilli();
            if (remaining > 180000) {
                remaining -= 360000;
            } else if (remaining < -180000) {
                remaining += 360000;
            }
            if (std::abs(remaining) < step) {
                ship.SetCourse(ship.OrderedCourse);
            } else if (step > 0) {
                ship.SetCourseMilli(ship.CourseMilli() + (remaining > 0 ? step : -step));
            }
        }

        // The run: speed / 60 x D / 240 nautical miles.
        double run = static_cast<double>(
            map::FromUnits(ship.CurrentSpeed / 60.0 * D(world) / kSubStepsPerMinuteBase,
                           map::TGlobeUnitTypes::NauticalMile));
        if (closeUp) {
            run = std::round(run * 0.7);
        }
        if (ship.Flinch) {
            run = std::round(run * 0.9);
        }
        const double yards =
            map::ToUnits(static_cast<std::int64_t>(run), map::TGlobeUnitTypes::Yard);
        if (yards <= 0.0) {
            return 0.0;
        }
        const double heading = ship.CourseMilli() / 1000.0;
        const TGeoPos from = ship.Position();
        const TGeoPos to = MovePoint(from, heading, yards);
        if (Blocked(world, to, &ship, TLandRule::LandOnly)) {
            ship.OrderedCourse =
                FindClearCourse(world, ship, yards, kClearCourseSpan, ship.Course());
            ship.CurrentSpeed = std::min(ship.CurrentSpeed, kMineLayingSpeed);
            // Edge away from the obstruction rather than run on to it.
            for (const auto& [bearing, distance] :
                 {std::pair{90, 60.0}, std::pair{-90, 60.0}, std::pair{180, 40.0}}) {
                const TGeoPos escape =
                    MovePoint(from, AddBearing(ship.Course(), bearing), distance);
                if (!Blocked(world, escape, &ship, TLandRule::LandOnly)) {
                    ship.SetPosition(escape);
                    break;
                }
            }
            return 0.0;
        }
        ship.SetPosition(to);
        return yards;
    } catch (const std::exception&) {
        return 0.0; // the ship simply does not move this sub-step
    }
}

int FindClearCourse(TGameWorld& world, const TFightingShip& ship, double distance, int span,
                    int course) {
    if (course == kOrderedCourse) {
        course = ship.OrderedCourse;
    }
    const TGeoPos here = ship.Position();
    const auto clear = [&](int c) {
        return !Blocked(world, MovePoint(here, NormaliseCourse(c), distance), &ship,
                        TLandRule::LandOrCoast);
    };
    int result = course;
    if (!clear(course)) {
        for (int k = 1; k <= span / 10; ++k) {
            if (clear(course + 10 * k)) {
                result = course + 10 * k;
                break;
            }
            if (clear(course - 10 * k)) {
                result = course - 10 * k;
                break;
            }
        }
    }
    // With nothing clear the ship keeps the course it asked for; either way a compass course.
    return NormaliseCourse(result);
}

void SetDivisionCourse(TGameWorld& world, TDivision& division, int course) {
    if (course < 0 || course > 360) {
        course = 0;
    }
    course = NormaliseCourse(course);
    TFightingShip* flag = division.Flagship();
    if (flag != nullptr) {
        const TGeoPos ahead = MovePoint(flag->Position(), course, 1500.0);
        if (Blocked(world, ahead, flag, TLandRule::LandOnly)) {
            // Turn a quarter of the way and find the nearest clear course from there.
            int change = course - division.Course;
            if (change > 180) {
                change -= 360;
            } else if (change < -180) {
                change += 360;
            }
            const int start = division.Course + static_cast<int>(core::Round(change / 4.0));
            course =
                FindClearCourse(world, *flag, 1500.0, kClearCourseSpan, NormaliseCourse(start));
        }
        if (flag->ShipType == TShipType::DD) {
            if (division.TacticalStance < 2) {
                division.TurnTogether = true;
            } else if (division.TacticalStance <= 3) {
                division.TurnTogether = false;
            }
        }
    }
    division.Course = course;
}

void CheckAvoidCloseEnemy(TGameWorld& world, TDivision& division, TFightingShip& ship) {
    try {
        core::TRandomGenerator& random = world.Random();
        if (D(world) < 6 && world.SubStepsLeft % std::max(1, world.TorpedoCheckPeriod) != 0) {
            return;
        }
        if (random.Random(100) >= 50) {
            return;
        }
        const int friendCourse = AvoidCloseFriend(world, ship, division);
        if (friendCourse != 0 && CourseDifference(friendCourse, ship.OrderedCourse) >= 11) {
            ship.OrderedCourse = friendCourse;
        }

        double range = 0.0;
        TFightingShip* enemy = NearestSightedEnemy(ship, false, range);
        if (enemy != nullptr && range < 35.0) {
            ResolveCollision(world, ship, *enemy);
            return;
        }
        if (enemy != nullptr &&
            (IsThreat(world, *enemy) || random.Random(100) < 30 || range < 1000.0)) {
            int urgency = 0;
            double limit = 5000.0;
            if (enemy->IsLandTarget()) {
                limit = std::max(enemy->BatteryValue() * 600.0, 4000.0);
            } else if (enemy->ShipType == TShipType::DD || enemy->ShipType == TShipType::AV ||
                       ship.ShipType == TShipType::DD) {
                limit = 4000.0;
            } else if (enemy->ShipType == TShipType::MS || enemy->ShipType == TShipType::TR) {
                limit = 3000.0;
            }
            if (ship.ShipType == TShipType::DD &&
                random.Random(12) + 1 < ship.HitsThisMinute + 3 * ship.HeavyHitsThisMinute) {
                // A destroyer badly hit this minute turns away.
                urgency = ship.HitsThisMinute + 20;
                limit = 6000.0;
            }
            if (!division.AIControl) {
                limit -= 1000.0;
            }
            if (ship.ShipType == TShipType::CL) {
                limit -= 500.0;
            }
            if (ship.Sighted.size() < 2) {
                limit -= 500.0;
            }
            const auto big = [](const TFightingShip& s) { return s.ShipType <= TShipType::CA; };
            if (!big(ship) && !big(*enemy) && !enemy->IsLandTarget()) {
                limit -= 1000.0;
            }
            if (ship.LightState == kLightNight) {
                limit = std::trunc(limit / 2.0);
            }
            const int toEnemy = BearingTo(ship, enemy->Position());
            if (range < limit && CourseDifference(toEnemy, ship.OrderedCourse) <= 110) {
                urgency += 16;
                if (range < 4000.0) {
                    urgency += 10;
                }
                if (range < 3000.0) {
                    urgency += 10;
                }
                if (range < 2000.0) {
                    urgency = 100;
                }
                if (random.Random(40) < urgency) {
                    int course = ship.OrderedCourse;
                    const int relative = AddBearing(toEnemy, -ship.Course());
                    if (relative < 90) {
                        course = toEnemy - 95;
                    } else if (relative < 270) {
                        course = toEnemy + 95;
                    }
                    const bool night = ship.LightState == kLightNight;
                    course = world.Opponent().TryCourseAvoidClose(world, ship, night ? 160 : 170,
                                                                  night ? 3000 : 4000,
                                                                  NormaliseCourse(course));
                    if (CourseDifference(course, toEnemy) <= 90) {
                        course = world.Opponent().TryCourseAvoidClose(
                            world, ship, 170, 4000, NormaliseCourse(toEnemy + 180));
                    }
                    if (CourseDifference(course, ship.OrderedCourse) >= 11) {
                        ship.OrderedCourse = NormaliseCourse(course);
                    }
                }
            }
        }

        double batteryRange = 0.0;
        TFightingShip* battery = NearestSightedEnemy(ship, true, batteryRange);
        if (battery != nullptr && battery->BatteryValue() >= 4 &&
            (IsThreat(world, *battery) || random.Random(100) < 30)) {
            const double reach = std::max(battery->BatteryValue() * 700.0, 3500.0);
            if (batteryRange < reach) {
                const int course = world.Opponent().TryCourseAvoidClose(
                    world, ship, 90, static_cast<int>(reach), ship.OrderedCourse);
                if (CourseDifference(course, ship.OrderedCourse) >= 11) {
                    ship.OrderedCourse = NormaliseCourse(course);
                }
            }
        }
    } catch (const std::exception& e) {
        world.Messages().Error("Error in CheckAvoidCloseEnemy procedure!\rShip: " + ship.Name +
                               "\n" + e.what());
    }
}

int AvoidCloseFriend(TGameWorld& world, TFightingShip& ship, TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr ||
        (division.Force != nullptr && division.Force->CachedFlagship() == &ship)) {
        return 0;
    }
    const TFightingShip* nearest = nullptr;
    double nearestRange = 0.0;
    // Ships of its own division keep station on it and are no danger to avoid.
    for (const TFightingShip* f : NearFriends(world, ship)) {
        if (f == nullptr || f->ShipType == TShipType::DD || f->ShipType == TShipType::MS ||
            std::find(division.Ships.begin(), division.Ships.end(), f) != division.Ships.end()) {
            continue;
        }
        const double r = combat::RangeYards(ship, *f);
        if (nearest == nullptr || r < nearestRange) {
            nearest = f;
            nearestRange = r;
        }
    }
    if (nearest == nullptr || nearestRange >= 900.0) {
        return 0;
    }
    // Only when the two are closing: their positions 500 yards on are nearer than now.
    const TGeoPos mineAhead = MovePoint(ship.Position(), ship.Course(), 500.0);
    const TGeoPos theirsAhead = MovePoint(nearest->Position(), nearest->Course(), 500.0);
    if (map::RangeYards(mineAhead, theirsAhead) >= nearestRange) {
        return 0;
    }
    const int c = flag->GetBearingToShip(nearest, world.Messages());
    const int toFriend = BearingTo(ship, nearest->Position());
    int course = 0;
    if (c <= 84) {
        course = NormaliseCourse(toFriend + c - 100);
    } else if (c >= 276) {
        course = NormaliseCourse(toFriend + c - 260);
    } else {
        return 0;
    }
    if (CourseDifference(course, flag->OrderedCourse) > 10) {
        ship.OrderedCourse = course;
        return course;
    }
    return 0;
}

bool IsThreat(TGameWorld& world, const TFightingShip& enemy) {
    const int working = enemy.TotalTurretGuns(true) + enemy.CurrentSecondariesPort +
                        enemy.CurrentSecondariesStarboard;
    if (enemy.IsLandTarget()) {
        return working > 0;
    }
    const int all = enemy.TotalTurretGuns(false) + enemy.InitialSecondariesPort +
                    enemy.InitialSecondariesStarboard;
    if (all == 0) {
        return false;
    }
    // A ship that has lost most of its guns may still be dangerous: the draw says whether
    // enough of them are left.
    return enemy.GetDamagePercentage(world.Messages()) < 70 ||
           world.Random().Random(all) + 2 < working;
}

void ChangeSpeedForMinute(TFightingShip& ship) {
    const int maxSpeed = ship.CurrentMaxSpeed();
    ship.OrderedSpeed = std::min(ship.OrderedSpeed, maxSpeed);
    // A ship going down has lost all way: she is not got under way again.
    if (ship.Sinking > 0) {
        ship.OrderedSpeed = 0;
    }
    if (ship.OutOfControl > 0) {
        return;
    }
    if (ship.CurrentSpeed < ship.OrderedSpeed) {
        ship.CurrentSpeed = std::min(ship.CurrentSpeed + 1, maxSpeed);
    } else if (ship.CurrentSpeed > ship.OrderedSpeed) {
        // Ships lose way faster than they gain it, and faster still at high speed.
        ship.CurrentSpeed = std::max(0, ship.CurrentSpeed - (ship.CurrentSpeed <= 20 ? 4 : 5));
    }
}

void MatchStationSpeed(TGameWorld& world, TDivision& division) {
    TFightingShip* flag = division.Flagship();
    TDivision* lead = division.LeadDiv;
    if (flag == nullptr || lead == nullptr || !lead->HasShips()) {
        return;
    }
    std::optional<TGeoPos> point;
    int speed = 0;
    if (division.Role == combat::roleSupport) {
        point = combat::SupportPoint(division, *lead, world);
        speed = lead->Flagship()->CurrentSpeed;
    } else if (division.Role == combat::roleScout) {
        point = combat::ScoutPoint(division, lead, world);
        speed = lead->Speed;
    }
    if (!point) {
        return;
    }
    const double r = map::RangeYards(flag->Position(), *point);
    if (r < 300.0) {
        division.Speed = speed - 1;
    } else if (r < 800.0) {
        division.Speed = speed;
    }
}

} // namespace tarnwake::engine
