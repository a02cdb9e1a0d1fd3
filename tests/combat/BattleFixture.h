#pragma once

#include "combat/BattleContext.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "designs/NationsTable.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "map/GlobeLayer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tarnwake::testing {

// A small battle on open sea off Jutland (56 N 6 E): divisions and ships placed by course and
// range from a reference point, with the world's answers set by each test.
class BattleFixture : public ::testing::Test, public combat::IBattleContext {
public:
    core::THeadlessMessages messages{nullptr};
    core::TRandomGenerator random{7};
    map::TGlobe globe;
    map::TGlobeLayer* shipLayer = &globe.FindOrCreateLayer("ShipLayer");
    std::vector<std::unique_ptr<combat::TFightingShip>> ships;
    std::vector<std::unique_ptr<combat::TDivision>> divisions;
    std::vector<std::unique_ptr<combat::TForce>> forces;
    designs::TNation nation;
    int year = 1916;
    int weather = 2;
    int visibility = 15000;
    const map::TGeoPos origin{6 * 5'400'000, 56 * 5'400'000, 0};

    combat::TDivision& Division(const char* name, int side, int course, designs::TShipType type,
                                int shipCount, map::TGeoPos at = {}) {
        divisions.push_back(std::make_unique<combat::TDivision>(name, side));
        combat::TDivision& d = *divisions.back();
        d.Course = course;
        for (int i = 0; i < shipCount; ++i) {
            ships.push_back(std::make_unique<combat::TFightingShip>());
            combat::TFightingShip& s = *ships.back();
            s.Name = std::string(name) + " " + std::to_string(i + 1);
            s.Side = side;
            s.ShipType = type;
            s.SetCourse(course);
            s.OrderedCourse = course;
            s.PlaceOnLayer(shipLayer);
            s.SetPosition(at.lon == 0 && at.lat == 0 ? origin : at);
            d.Ships.push_back(&s);
        }
        return d;
    }

    map::TGeoPos At(double course, double yards) const {
        return map::MovePoint(origin, course, yards);
    }

    // Bearing and range of a point from another, for checks made on the chart.
    static int Bearing(const map::TGeoPos& from, const map::TGeoPos& to) {
        return map::BearingBetween(from, to);
    }
    static double Range(const map::TGeoPos& a, const map::TGeoPos& b) {
        return map::RangeYards(a, b);
    }

    // ---- IBattleContext
    core::IMessages& Messages() override { return messages; }
    core::TRandomGenerator& Random() override { return random; }
    map::TGlobe& Globe() override { return globe; }
    int ScenarioYear() const override { return year; }
    const designs::TNation& NationOf(const combat::TFightingShip&) const override { return nation; }
    std::vector<combat::TDivision*> AllDivisions() const override {
        std::vector<combat::TDivision*> all;
        for (const auto& d : divisions) {
            all.push_back(d.get());
        }
        return all;
    }
    int VisibilityRange(const combat::TFightingShip&, bool) override { return visibility; }
    int WeatherCode() const override { return weather; }
    bool NearestBase(const combat::TFightingShip&, map::TGeoPos&, std::string&) override {
        return false;
    }
    bool WaypointArrivalAllowed(const combat::TDivision&) override { return true; }
};

} // namespace tarnwake::testing
