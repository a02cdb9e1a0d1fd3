#pragma once

#include "map/GeoPos.h"

#include <string>

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::campaign {
class TMinefield;
}

namespace tarnwake::engine {

class TGameWorld;

// Whether `p` lies in a minefield the ship's side knows of: one of its own, or the marker of an
// enemy field it has found or suspects (its side's layer). For no ship, any minefield.
bool MinefieldBlocks(const TGameWorld& world, const map::TGeoPos& p,
                     const combat::TFightingShip* ship);
// Ships steer clear of the minefields their side knows: the chart's blocked-point test asks the
// world's minefields. Every new game needs it again, since clearing the chart forgets it.
void InstallMinefieldRules(TGameWorld& world);

// The first minefield of the layer of `side` ("MineLayer0" or "MineLayer1") that holds `p` and
// still has mines in it; with `laidInPlay`, only fields laid during the game. None when no
// field does.
campaign::TMinefield* MinefieldAt(const TGameWorld& world, int side, const map::TGeoPos& p,
                                  bool laidInPlay = false);

// A square field 600 yards across centred on `p`, laid in play in the layer of `side`, with its
// density and link. Fields of the player's side (every field, when the player watches) show on
// the chart.
campaign::TMinefield& LaySubMineField(TGameWorld& world, const map::TGeoPos& p, int side,
                                      int linkId, int density, const std::string& title);
// What another side learns of a field: a copy of its outline in the layer of `side`.
campaign::TMinefield& CopyMinefield(TGameWorld& world, const campaign::TMinefield& field, int side,
                                    int density);

} // namespace tarnwake::engine
