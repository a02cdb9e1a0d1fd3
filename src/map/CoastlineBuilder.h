#pragma once

#include "map/GeoPos.h"

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace tarnwake::map {

class TGlobeLayer;

// Turns shoreline pieces into the closed land areas of a coast layer. The pieces come from
// a shoreline database clipped to a box (for us GSHHG through GMT's "coast -M" dump): open
// pieces cut at the database's tiles and at the box, oriented with the land on their left,
// and small islands that are already closed. Open pieces are joined end to end; where a
// joined line leaves the box, the outline follows the box edge anticlockwise (keeping the
// land on its left) to where the next line comes in.
struct TCoastBox {
    double west = 0;
    double east = 0;
    double south = 0;
    double north = 0;
};

struct TCoastOptions {
    // Islands smaller than this many square kilometres are left out: they cost points and
    // a ship could not be in their lee anyway.
    double minIslandKm2 = 0.05;
};

struct TCoastReport {
    std::size_t piecesRead = 0;
    std::size_t pointsRead = 0;
    std::size_t polygons = 0;
    std::size_t points = 0;
    std::size_t islandsDropped = 0;
    std::size_t spikePointsDropped = 0;
    std::size_t danglingEnds = 0; // lines that ended inside the box with nothing to join
    std::vector<std::string> problems;
};

using TCoastPiece = std::vector<TGeoPos>;

// Reads a GMT multi-segment text dump: "> header" lines start a piece, other lines hold
// "longitude latitude" in decimal degrees. Answers false (with `error`, naming the line) for
// a line that is not two numbers.
bool ReadGmtSegments(std::istream& in, std::vector<TCoastPiece>& pieces, std::string& error);

// Builds the closed land areas and appends them to the layer as closed objects (chain 0 each).
TCoastReport BuildCoastline(const std::vector<TCoastPiece>& pieces, const TCoastBox& box,
                            const TCoastOptions& options, TGlobeLayer& layer);

// Area of a closed outline in square kilometres (plane approximation, good for islands).
double OutlineAreaKm2(const std::vector<TGeoPos>& outline);

} // namespace tarnwake::map
