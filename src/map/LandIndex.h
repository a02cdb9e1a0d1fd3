#pragma once

#include "map/GeoDataObject.h"
#include "map/GeoPos.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tarnwake::map {

// A uniform grid over the closed areas of a layer that answers the area test of
// TGeoDataObject::HitBy (closed objects, no tolerance) exactly, only faster. Ships test the
// water ahead of them every sub-step and the computer tries many courses for every decision,
// so this is the game's most frequent question.
//
// Each cell is all sea, all land, or mixed. A mixed cell keeps, for each outline that
// matters there, what the even-odd count would find east of the cell (its parity at the
// cell's southern edge and the latitudes inside the cell where it changes) and the outline's
// edges that pass through the cell, which are counted exactly as the plain test counts them.
// Because the plain test decides every crossing in whole globe units, and the edges east of
// a cell cross strictly east of every point in it, both always agree.
class TLandIndex {
public:
    struct TStats {
        std::int64_t x0 = 0; // the grid's south-west corner and cell size, in globe units
        std::int64_t y0 = 0;
        std::int64_t cellWidth = 0;
        std::int64_t cellHeight = 0;
        int columns = 0;
        int rows = 0;
        std::size_t seaCells = 0;
        std::size_t landCells = 0;
        std::size_t mixedCells = 0;
        std::size_t edgeRefs = 0;
        std::size_t slowChains = 0;
    };

    // Indexes the closed, visible (not hidden) objects; `cellsPerEdge` sets the grid size
    // from the number of edges (more cells: fewer edges per cell, more memory).
    static std::unique_ptr<TLandIndex> Build(std::span<TGeoDataObject* const> objects,
                                             double cellsPerEdge = kDefaultCellsPerEdge);

    // The same with a grid of the given size (at most; never cells under one unit), for
    // tests that need cell edges where they can predict them.
    static std::unique_ptr<TLandIndex> BuildWithGrid(std::span<TGeoDataObject* const> objects,
                                                     int columns, int rows);

    // Whether any indexed object contains p.
    bool Contains(const TGeoPos& p) const;

    TStats Stats() const;

    static constexpr double kDefaultCellsPerEdge = 6.0;

private:
    struct TEntry {
        std::uint32_t rect = 0;
        std::uint32_t toggleBegin = 0;
        std::uint32_t toggleCount = 0;
        std::uint32_t edgeBegin = 0;
        std::uint32_t edgeCount = 0;
        std::uint8_t base = 0;
        std::uint8_t last = 0;
    };
    struct TEdge {
        std::int64_t x1 = 0;
        std::int64_t x2 = 0;
        std::int32_t y1 = 0;
        std::int32_t y2 = 0;
    };
    // An outline the grid cannot hold (one that circles a pole, so its longitudes do not
    // come back to where they started); tested the plain way.
    struct TSlowChain {
        const TGeoDataObject* object = nullptr;
        int chain = 0;
    };

    class TBuilder;

    bool ContainsAt(std::int64_t x, std::int64_t y) const;

    std::int64_t x0_ = 0;
    std::int64_t y0_ = 0;
    std::int64_t cellWidth_ = 1;
    std::int64_t cellHeight_ = 1;
    int columns_ = 0;
    int rows_ = 0;
    // 0: sea, 1: land, otherwise 2 + the index of the cell's first entry.
    std::vector<std::uint32_t> cells_;
    std::vector<TEntry> entries_;
    std::vector<std::int32_t> toggles_;
    std::vector<TEdge> edges_;
    std::vector<TGeoRect> rects_;
    std::vector<TSlowChain> slowChains_;
};

} // namespace tarnwake::map
