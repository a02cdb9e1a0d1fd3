#pragma once

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// The computer opponent as the minute sees it. The engine decides when a division under
// computer control re-decides and when the force checks run; the opponent decides what they
// do. The game start installs the real opponent; the engine itself knows only this interface.
class IComputerOpponent {
public:
    virtual ~IComputerOpponent() = default;

    // A division under computer control re-decides: its stance, then its course and speed.
    virtual void DivisionDecides(TGameWorld& world, combat::TDivision& division) = 0;

    // The seamanship movement asks of the computer: a course near `course` clear of enemies
    // and land within `distance` yards, trying up to `span` degrees either side.
    virtual int TryCourseAvoidClose(TGameWorld& world, combat::TFightingShip& ship, int span,
                                    int distance, int course) = 0;
    // Whether a division may count its waypoint as reached.
    virtual bool WaypointArrivalAllowed(TGameWorld& world, const combat::TDivision& division) = 0;

    // Once a minute, after the decisions: the forces weigh their situation (fatigue, flotilla
    // attacks, the turn-away clock).
    virtual void AssessForces(TGameWorld& world) = 0;
    // The force checks of the end of the minute.
    virtual void CheckSubordinateForceInCombat(TGameWorld& world) = 0;
    virtual void CheckCautiousAIFeelingGood(TGameWorld& world) = 0;
};

// An opponent that gives no new orders: its divisions hold their courses and speeds, every
// course is taken as clear and every waypoint may be reached.
class THoldingOpponent : public IComputerOpponent {
public:
    void DivisionDecides(TGameWorld&, combat::TDivision&) override {}
    int TryCourseAvoidClose(TGameWorld&, combat::TFightingShip&, int, int, int course) override {
        return course;
    }
    bool WaypointArrivalAllowed(TGameWorld&, const combat::TDivision&) override { return true; }
    void AssessForces(TGameWorld&) override {}
    void CheckSubordinateForceInCombat(TGameWorld&) override {}
    void CheckCautiousAIFeelingGood(TGameWorld&) override {}
};

} // namespace tarnwake::engine
