#include "engine/Minefields.h"

#include "campaign/Minefield.h"
#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "map/GamePresenters.h"
#include "map/Geometry.h"

#include <vector>

namespace tarnwake::engine {

namespace {

// A submarine's field, or the marker of a suspected one, is a square whose corners lie this far
// from its centre on the diagonal bearings.
constexpr double kSquareCornerYards = 300.0;
constexpr int kSquareCorners[] = {45, 135, 225, 315};

std::string LayerName(int side) {
    return "MineLayer" + std::to_string(side);
}

campaign::TMinefield& NewField(TGameWorld& world, int side, int density,
                               std::vector<map::TGeoPos> outline) {
    map::TGlobeLayer& layer = world.Chart.FindOrCreateLayer(LayerName(side));
    auto& field = world.AddMinefield(std::make_unique<campaign::TMinefield>(&layer));
    field.Side = side;
    field.Density = density;
    field.Marker->SetChainPoints(0, std::move(outline));
    field.Marker->SetClosed(true);
    field.Marker->SetPresenterID(map::MinefieldPresenter(layer, side, density != 0));
    field.Marker->SetHidden(world.PlayerSide != kWatchingSide && side != world.PlayerSide);
    return field;
}

} // namespace

bool MinefieldBlocks(const TGameWorld& world, const map::TGeoPos& p,
                     const combat::TFightingShip* ship) {
    for (const auto& field : world.Minefields) {
        if ((ship == nullptr || field->Side == ship->Side) && field->Marker->ContainsPoint(p)) {
            return true;
        }
    }
    return false;
}

void InstallMinefieldRules(TGameWorld& world) {
    world.Chart.SetMinefieldTest(
        [&world](const map::TGeoPos& p, const combat::TFightingShip* ship) {
            return MinefieldBlocks(world, p, ship);
        });
}

campaign::TMinefield* MinefieldAt(const TGameWorld& world, int side, const map::TGeoPos& p,
                                  bool laidInPlay) {
    for (const auto& field : world.Minefields) {
        if (field->Side == side && field->Density > 0 && (!laidInPlay || field->PlayerLaid) &&
            field->Marker->ContainsPoint(p)) {
            return field.get();
        }
    }
    return nullptr;
}

campaign::TMinefield& LaySubMineField(TGameWorld& world, const map::TGeoPos& p, int side,
                                      int linkId, int density, const std::string& title) {
    std::vector<map::TGeoPos> outline;
    for (const int bearing : kSquareCorners) {
        outline.push_back(map::MovePoint(p, bearing, kSquareCornerYards));
    }
    campaign::TMinefield& field = NewField(world, side, density, std::move(outline));
    field.Marker->SetTitle(title);
    field.LinkId = linkId;
    field.PlayerLaid = true;
    return field;
}

campaign::TMinefield& CopyMinefield(TGameWorld& world, const campaign::TMinefield& field, int side,
                                    int density) {
    const auto points = field.Marker->Chain(0).Points();
    campaign::TMinefield& copy =
        NewField(world, side, density, std::vector<map::TGeoPos>(points.begin(), points.end()));
    copy.Marker->SetTitle(field.Marker->Title());
    copy.PlayerLaid = field.PlayerLaid;
    copy.LinkId = field.LinkId;
    return copy;
}

} // namespace tarnwake::engine
