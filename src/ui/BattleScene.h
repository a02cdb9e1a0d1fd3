#pragma once

#include "combat/FightingShip.h"
#include "map/GeoPos.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::ui {

// What the chart shows of the fighting beyond the ships themselves: the shell splashes round
// each target, the flashes of the hits, the wrecks of the ships sunk. The fire phase settles
// all of it once a minute, so it is built once a minute, when a paint first finds the minute
// changed, and only projected by the paints between (at the fast speeds a minute is painted
// dozens of times).
struct TBattleScene {
    // A shell falling: where, and how big its column of water stands (the guns' calibre).
    struct TSplash {
        map::TGeoPos at;
        int calibre = 0;
        int side = 0; // of the guns that fired it
    };
    // A salvo that straddled its target: a ring round the target in the firing side's colour.
    struct TStraddle {
        combat::TShipId target;
        int side = 0;
    };
    // A hit on a ship: a brief flash there, the larger for the heavier guns, a great one when
    // she blew up.
    struct TFlash {
        combat::TShipId target;
        map::TGeoPos at;
        int calibre = 0;
        int hits = 0;
        bool blewUp = false;
    };
    // A sunk ship, marked as a plot marks a wreck: where she went down, her name and the time.
    struct TWreck {
        map::TGeoPos at;
        QString label;
    };

    // The world, minute and clock the scene was built for: a new one rebuilds it.
    const engine::TGameWorld* world = nullptr;
    int minute = -1;
    double clock = 0.0;
    std::vector<TSplash> splashes;
    std::vector<TStraddle> straddles;
    std::vector<TFlash> flashes;
    std::vector<TWreck> wrecks;

    // A splash drawn once for each size in half pixels and stamped where the shells fell: a
    // fleet action throws up a thousand columns a minute.
    static constexpr int kSplashSizes = 16;
    std::array<QPixmap, kSplashSizes> splashSprites;

    // The daylight over the chart: a small picture of shade, one pixel a cell of the screen,
    // drawn stretched and smoothed. Built with the scene, and again when the view moves.
    QImage daylight;
    std::uint64_t daylightView = 0;
    int daylightCell = 0;

    // Rebuilds everything but the daylight when the world's minute has changed; answers
    // whether it did.
    bool Update(const engine::TGameWorld& world);
};

// At most this many splashes are drawn for one salvo: beyond it the columns merge into one.
inline constexpr int kMostSplashesShown = 12;

} // namespace tarnwake::ui
