#include "ui/BattleScene.h"

#include "core/GameClock.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "ui/ChartColours.h"

namespace tarnwake::ui {

namespace {

using combat::TFightingShip;

// A ship still afloat or one sunk this minute, by id.
const TFightingShip* AnyShip(const engine::TGameWorld& world, combat::TShipId id) {
    const TFightingShip* ship = world.FindShip(id);
    return ship != nullptr ? ship : world.FindSunkShip(id);
}

// Whether the player sees what befalls the ship: his own, or one his lookouts have in sight
// (a ship sunk this minute: one they had in sight as she went).
bool Seen(const engine::TGameWorld& world, const TFightingShip& ship) {
    if (world.PlayerMaySee(ship)) {
        return true;
    }
    if (ship.Sunk) {
        return ship.SightingLevel >= combat::kSighted;
    }
    return ship.Marker != nullptr && !ship.Marker->Hidden();
}

// Splashes beyond the engine's few for a big salvo: each repeat a little further out and
// round, so that the salvo's size shows without another draw of chance.
constexpr double kRepeatYards = 70.0;
constexpr int kRepeatDegrees = 9;

// Whether a splash fell short: on the firer's side of the target.
bool Short(int splashBearing, int towardsFirer) {
    return map::CourseDifference(splashBearing, towardsFirer) < 90;
}

} // namespace

bool TBattleScene::Update(const engine::TGameWorld& w) {
    if (world == &w && minute == w.TimeElapsed && clock == w.Clock) {
        return false;
    }
    world = &w;
    minute = w.TimeElapsed;
    clock = w.Clock;
    splashes.clear();
    straddles.clear();
    flashes.clear();
    wrecks.clear();

    for (const engine::TGameWorld::TFireLine& line : w.FireLines) {
        const TFightingShip* target = AnyShip(w, line.Target);
        if (target == nullptr || target->Marker == nullptr || !Seen(w, *target)) {
            continue;
        }
        const map::TGeoPos at = target->Position();
        if (line.Hits > 0 || line.BlewUp) {
            flashes.push_back({line.Target, at, line.Calibre, line.Hits, line.BlewUp});
        }
        if (line.Straddle) {
            straddles.push_back({line.Target, line.Side});
        }
        if (line.Splashes.empty()) {
            continue;
        }
        // A salvo that did not straddle fell all short or all over: the side of its first
        // splash. The engine draws each splash's side by itself; the chart keeps them together.
        const TFightingShip* firer = AnyShip(w, line.Firer);
        const int towardsFirer = firer != nullptr && firer->Marker != nullptr
                                     ? map::BearingBetween(at, firer->Position())
                                     : -1;
        const bool firstShort =
            towardsFirer >= 0 && Short(line.Splashes.front().Bearing, towardsFirer);
        const int count = std::min(line.Rounds, kMostSplashesShown);
        const int engineSplashes = static_cast<int>(line.Splashes.size());
        for (int i = 0; i < count; ++i) {
            const combat::TSplash& s = line.Splashes[static_cast<std::size_t>(i % engineSplashes)];
            const int repeat = i / engineSplashes;
            int bearing = map::AddBearing(s.Bearing, repeat * kRepeatDegrees);
            if (!line.Straddle && towardsFirer >= 0 && Short(bearing, towardsFirer) != firstShort) {
                bearing = map::AddBearing(bearing, 180);
            }
            splashes.push_back({map::MovePoint(at, bearing, s.Distance + repeat * kRepeatYards),
                                line.Calibre, line.Side});
        }
    }

    for (const auto& ship : w.SunkShips) {
        if (!ship->Sunk || ship->Marker == nullptr || !Seen(w, *ship)) {
            continue;
        }
        const std::string name =
            w.PlayerMaySee(*ship) ? ship->Name : KnownShipName(*ship, w.PlayerSide);
        wrecks.push_back({ship->Position(),
                          QString::fromStdString(name + " " + core::FormatTime(ship->TimeOfLoss))});
    }
    daylightView = 0; // the light has moved on with the clock
    return true;
}

} // namespace tarnwake::ui
