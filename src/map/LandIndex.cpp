#include "map/LandIndex.h"

#include "map/Geometry.h"

#include <algorithm>
#include <cmath>

namespace tarnwake::map {

namespace {

constexpr std::uint32_t kSeaCell = 0;
constexpr std::uint32_t kLandCell = 1;
constexpr std::uint32_t kFirstEntryCode = 2;
// The grid never grows past this many cells (16 MB of cell codes), whatever the layer.
constexpr std::int64_t kMaxCells = std::int64_t{1} << 22;
constexpr std::int64_t kMaxSide = 8192;

struct TBuildEdge {
    std::int64_t x1;
    std::int64_t x2;
    std::int32_t y1;
    std::int32_t y2;
    std::uint32_t chain;
};

enum TItemKind : std::uint8_t { kConstantLand = 0, kToggle = 1, kLocalEdge = 2 };

// Something one outline contributes to one cell of the row being built.
struct TItem {
    std::uint32_t column;
    std::uint32_t chain;
    TItemKind kind;
    std::int64_t payload; // toggle: the latitude; edge: its index in the build list
    bool operator<(const TItem& o) const {
        if (column != o.column) {
            return column < o.column;
        }
        if (chain != o.chain) {
            return chain < o.chain;
        }
        if (kind != o.kind) {
            return kind < o.kind;
        }
        return payload < o.payload;
    }
};

// A place where an outline's east-of-cell count changes: for every column before `column`.
struct TColumnEvent {
    std::uint32_t chain;
    std::int64_t y; // the latitude of a toggle; unused for the southern-edge parity
    std::int64_t column;
    bool operator<(const TColumnEvent& o) const {
        if (chain != o.chain) {
            return chain < o.chain;
        }
        if (y != o.y) {
            return y < o.y;
        }
        return column < o.column;
    }
};

// For events v1 <= ... <= vk of one group, a column c is counted by those with v > c. Calls
// fn(first, last) for the column ranges where that number is odd.
template <typename Fn>
void ForOddColumnRanges(const TColumnEvent* begin, const TColumnEvent* end, std::int64_t columns,
                        Fn&& fn) {
    const auto k = static_cast<std::int64_t>(end - begin);
    std::int64_t from = 0;
    for (std::int64_t j = 0; j <= k; ++j) {
        const std::int64_t to =
            j < k ? std::clamp<std::int64_t>(begin[j].column, 0, columns) : columns;
        if (((k - j) & 1) != 0 && to > from) {
            fn(from, to - 1);
        }
        from = std::max(from, to);
    }
}

} // namespace

class TLandIndex::TBuilder {
public:
    explicit TBuilder(TLandIndex& index) : index_(index) {}

    // columns and rows 0: sized from the number of edges.
    void Run(std::span<TGeoDataObject* const> objects, double cellsPerEdge, std::int64_t columns,
             std::int64_t rows) {
        Collect(objects);
        if (edges_.empty()) {
            return;
        }
        SizeGrid(cellsPerEdge, columns, rows);
        SortEdgesIntoRows();
        index_.cells_.assign(static_cast<std::size_t>(index_.columns_) * index_.rows_, kSeaCell);
        for (int row = 0; row < index_.rows_; ++row) {
            BuildRow(row);
        }
    }

private:
    void Collect(std::span<TGeoDataObject* const> objects) {
        bool any = false;
        for (const TGeoDataObject* object : objects) {
            if (object == nullptr || !object->Closed() || object->Hidden()) {
                continue;
            }
            const TGeoRect& rect = object->BoundingRect();
            if (rect.Empty()) {
                continue; // a closed outline with no area contains nothing
            }
            const auto rectIndex = static_cast<std::uint32_t>(index_.rects_.size());
            index_.rects_.push_back(rect);
            for (int c = 0; c < object->ChainCount(); ++c) {
                const auto points = object->Chain(c).Points();
                if (points.size() < 2) {
                    continue;
                }
                std::int64_t loop = 0;
                for (std::size_t i = 1; i < points.size(); ++i) {
                    loop += LongitudeStep(points[i - 1].lon, points[i].lon);
                }
                loop += LongitudeStep(points.back().lon, points.front().lon);
                if (loop != 0) {
                    index_.slowChains_.push_back({object, c});
                    continue;
                }
                const auto chainIndex = static_cast<std::uint32_t>(chainRects_.size());
                chainRects_.push_back(rectIndex);
                ForEachChainEdge(
                    points, object->ChainShift(c),
                    [&](std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
                        if (y1 == y2) {
                            return; // a level edge never counts
                        }
                        edges_.push_back({x1, x2, static_cast<std::int32_t>(y1),
                                          static_cast<std::int32_t>(y2), chainIndex});
                        if (!any) {
                            minX_ = maxX_ = x1;
                            minY_ = maxY_ = y1;
                            any = true;
                        }
                        minX_ = std::min({minX_, x1, x2});
                        maxX_ = std::max({maxX_, x1, x2});
                        minY_ = std::min({minY_, y1, y2});
                        maxY_ = std::max({maxY_, y1, y2});
                    });
            }
        }
    }

    void SizeGrid(double cellsPerEdge, std::int64_t columns, std::int64_t rows) {
        const std::int64_t width = maxX_ - minX_ + 1;
        const std::int64_t height = maxY_ - minY_ + 1;
        if (columns <= 0 || rows <= 0) {
            // Square cells (in globe units), about cellsPerEdge of them for every edge.
            const double wanted = std::clamp(static_cast<double>(edges_.size()) * cellsPerEdge, 1.0,
                                             static_cast<double>(kMaxCells));
            const double side =
                std::sqrt(static_cast<double>(width) * static_cast<double>(height) / wanted);
            columns = static_cast<std::int64_t>(std::ceil(static_cast<double>(width) / side));
            rows = static_cast<std::int64_t>(std::ceil(static_cast<double>(height) / side));
        }
        columns = std::clamp<std::int64_t>(columns, 1, std::min(kMaxSide, width));
        rows = std::clamp<std::int64_t>(rows, 1, std::min(kMaxSide, height));
        while (columns * rows > kMaxCells) {
            columns = std::max<std::int64_t>(1, columns / 2);
            rows = std::max<std::int64_t>(1, rows / 2);
        }
        index_.x0_ = minX_;
        index_.y0_ = minY_;
        index_.cellWidth_ = (width + columns - 1) / columns;
        index_.cellHeight_ = (height + rows - 1) / rows;
        index_.columns_ = static_cast<int>((width + index_.cellWidth_ - 1) / index_.cellWidth_);
        index_.rows_ = static_cast<int>((height + index_.cellHeight_ - 1) / index_.cellHeight_);
    }

    std::int64_t RowOf(std::int64_t y) const { return (y - index_.y0_) / index_.cellHeight_; }
    std::int64_t ColumnOf(std::int64_t x) const {
        return std::clamp<std::int64_t>((x - index_.x0_) / index_.cellWidth_, 0,
                                        index_.columns_ - 1);
    }

    // Every edge is listed in each row where some latitude of its half-open range lies.
    void SortEdgesIntoRows() {
        rowStart_.assign(static_cast<std::size_t>(index_.rows_) + 1, 0);
        for (const auto& e : edges_) {
            const std::int64_t yMin = std::min(e.y1, e.y2);
            const std::int64_t yMax = std::max(e.y1, e.y2);
            for (std::int64_t r = RowOf(yMin); r <= RowOf(yMax - 1); ++r) {
                ++rowStart_[static_cast<std::size_t>(r) + 1];
            }
        }
        for (std::size_t r = 1; r < rowStart_.size(); ++r) {
            rowStart_[r] += rowStart_[r - 1];
        }
        rowEdges_.resize(rowStart_.back());
        std::vector<std::size_t> fill(rowStart_.begin(), rowStart_.end() - 1);
        for (std::size_t i = 0; i < edges_.size(); ++i) {
            const auto& e = edges_[i];
            const std::int64_t yMin = std::min(e.y1, e.y2);
            const std::int64_t yMax = std::max(e.y1, e.y2);
            for (std::int64_t r = RowOf(yMin); r <= RowOf(yMax - 1); ++r) {
                rowEdges_[fill[static_cast<std::size_t>(r)]++] = static_cast<std::uint32_t>(i);
            }
        }
    }

    void BuildRow(int row) {
        const std::int64_t columns = index_.columns_;
        const std::int64_t rowBottom = index_.y0_ + row * index_.cellHeight_;
        const std::int64_t rowTop = rowBottom + index_.cellHeight_ - 1; // inclusive
        flips_.clear();
        toggles_.clear();
        items_.clear();

        for (std::size_t k = rowStart_[static_cast<std::size_t>(row)];
             k < rowStart_[static_cast<std::size_t>(row) + 1]; ++k) {
            const std::uint32_t edgeIndex = rowEdges_[k];
            const TBuildEdge& e = edges_[edgeIndex];
            const std::int64_t yMin = std::min(e.y1, e.y2);
            const std::int64_t yMax = std::max(e.y1, e.y2); // active below, not at, yMax
            const std::int64_t yFrom = std::max(yMin, rowBottom);
            const std::int64_t yTo = std::min(yMax - 1, rowTop);
            // The crossing moves monotonically with latitude, so its two ends bound it.
            const std::int64_t xa = EdgeCrossingX(yFrom, e.x1, e.y1, e.x2, e.y2);
            const std::int64_t xb = EdgeCrossingX(yTo, e.x1, e.y1, e.x2, e.y2);
            const std::int64_t first = ColumnOf(std::min(xa, xb));
            const std::int64_t last = ColumnOf(std::max(xa, xb));
            // Columns before `first` lie wholly west of every crossing in this row: there the
            // edge counts exactly when the latitude is in its range.
            if (yMin <= rowBottom) {
                flips_.push_back({e.chain, 0, first});
            }
            if (yMin > rowBottom && yMin <= rowTop) {
                toggles_.push_back({e.chain, yMin, first});
            }
            if (yMax > rowBottom && yMax <= rowTop) {
                toggles_.push_back({e.chain, yMax, first});
            }
            for (std::int64_t c = first; c <= last; ++c) {
                items_.push_back({static_cast<std::uint32_t>(c), e.chain, kLocalEdge, edgeIndex});
            }
        }

        std::sort(flips_.begin(), flips_.end());
        std::sort(toggles_.begin(), toggles_.end());

        // Parity at the row's southern edge: where an outline is inside, constant land.
        for (std::size_t i = 0; i < flips_.size();) {
            std::size_t j = i;
            while (j < flips_.size() && flips_[j].chain == flips_[i].chain) {
                ++j;
            }
            const std::uint32_t chain = flips_[i].chain;
            ForOddColumnRanges(
                &flips_[i], flips_.data() + j, columns, [&](std::int64_t from, std::int64_t to) {
                    for (std::int64_t c = from; c <= to; ++c) {
                        items_.push_back({static_cast<std::uint32_t>(c), chain, kConstantLand, 0});
                    }
                });
            i = j;
        }
        // Latitudes inside the row where the count east of a cell changes.
        for (std::size_t i = 0; i < toggles_.size();) {
            std::size_t j = i;
            while (j < toggles_.size() && toggles_[j].chain == toggles_[i].chain &&
                   toggles_[j].y == toggles_[i].y) {
                ++j;
            }
            const std::uint32_t chain = toggles_[i].chain;
            const std::int64_t y = toggles_[i].y;
            ForOddColumnRanges(
                &toggles_[i], toggles_.data() + j, columns,
                [&](std::int64_t from, std::int64_t to) {
                    for (std::int64_t c = from; c <= to; ++c) {
                        items_.push_back({static_cast<std::uint32_t>(c), chain, kToggle, y});
                    }
                });
            i = j;
        }

        std::sort(items_.begin(), items_.end());
        for (std::size_t i = 0; i < items_.size();) {
            std::size_t j = i;
            while (j < items_.size() && items_[j].column == items_[i].column) {
                ++j;
            }
            WriteCell(row, items_[i].column, rowBottom, rowTop, i, j);
            i = j;
        }
    }

    bool SouthernParity(std::uint32_t chain, std::int64_t column) const {
        const auto lower =
            std::lower_bound(flips_.begin(), flips_.end(), TColumnEvent{chain, 0, 0});
        std::size_t count = 0;
        for (auto it = lower; it != flips_.end() && it->chain == chain; ++it) {
            if (it->column > column) {
                ++count;
            }
        }
        return (count & 1) != 0;
    }

    void WriteCell(int row, std::uint32_t column, std::int64_t rowBottom, std::int64_t rowTop,
                   std::size_t begin, std::size_t end) {
        const std::size_t entriesBefore = index_.entries_.size();
        const std::size_t togglesBefore = index_.toggles_.size();
        const std::size_t edgesBefore = index_.edges_.size();
        const std::int64_t cellLeft = index_.x0_ + column * index_.cellWidth_;
        const std::int64_t cellRight = cellLeft + index_.cellWidth_ - 1;
        bool land = false;

        for (std::size_t i = begin; i < end && !land;) {
            std::size_t j = i;
            while (j < end && items_[j].chain == items_[i].chain) {
                ++j;
            }
            const std::uint32_t chain = items_[i].chain;
            const std::uint32_t rect = chainRects_[chain];
            const bool constantOnly = items_[j - 1].kind == kConstantLand;
            if (constantOnly) {
                const TGeoRect& r = index_.rects_[rect];
                if (r.left < cellLeft && cellRight < r.Right() && r.bottom < rowBottom &&
                    rowTop < r.Top()) {
                    land = true;
                    break;
                }
            }
            TEntry entry;
            entry.rect = rect;
            entry.base = constantOnly ? 1 : (SouthernParity(chain, column) ? 1 : 0);
            entry.toggleBegin = static_cast<std::uint32_t>(index_.toggles_.size());
            entry.edgeBegin = static_cast<std::uint32_t>(index_.edges_.size());
            for (std::size_t k = i; k < j; ++k) {
                if (items_[k].kind == kToggle) {
                    index_.toggles_.push_back(static_cast<std::int32_t>(items_[k].payload));
                } else if (items_[k].kind == kLocalEdge) {
                    const TBuildEdge& e = edges_[static_cast<std::size_t>(items_[k].payload)];
                    index_.edges_.push_back({e.x1, e.x2, e.y1, e.y2});
                }
            }
            entry.toggleCount =
                static_cast<std::uint32_t>(index_.toggles_.size() - entry.toggleBegin);
            entry.edgeCount = static_cast<std::uint32_t>(index_.edges_.size() - entry.edgeBegin);
            index_.entries_.push_back(entry);
            i = j;
        }

        auto& cell = index_.cells_[static_cast<std::size_t>(row) * index_.columns_ + column];
        if (land) {
            index_.entries_.resize(entriesBefore);
            index_.toggles_.resize(togglesBefore);
            index_.edges_.resize(edgesBefore);
            cell = kLandCell;
        } else if (index_.entries_.size() == entriesBefore) {
            cell = kSeaCell;
        } else {
            index_.entries_.back().last = 1;
            cell = kFirstEntryCode + static_cast<std::uint32_t>(entriesBefore);
        }
    }

    TLandIndex& index_;
    std::vector<TBuildEdge> edges_;
    std::vector<std::uint32_t> chainRects_;
    std::int64_t minX_ = 0;
    std::int64_t maxX_ = 0;
    std::int64_t minY_ = 0;
    std::int64_t maxY_ = 0;
    std::vector<std::size_t> rowStart_;
    std::vector<std::uint32_t> rowEdges_;
    std::vector<TColumnEvent> flips_;
    std::vector<TColumnEvent> toggles_;
    std::vector<TItem> items_;
};

std::unique_ptr<TLandIndex> TLandIndex::Build(std::span<TGeoDataObject* const> objects,
                                              double cellsPerEdge) {
    std::unique_ptr<TLandIndex> index(new TLandIndex());
    TBuilder(*index).Run(objects, cellsPerEdge > 0 ? cellsPerEdge : kDefaultCellsPerEdge, 0, 0);
    return index;
}

std::unique_ptr<TLandIndex> TLandIndex::BuildWithGrid(std::span<TGeoDataObject* const> objects,
                                                      int columns, int rows) {
    std::unique_ptr<TLandIndex> index(new TLandIndex());
    TBuilder(*index).Run(objects, kDefaultCellsPerEdge, std::max(1, columns), std::max(1, rows));
    return index;
}

bool TLandIndex::ContainsAt(std::int64_t x, std::int64_t y) const {
    if (columns_ == 0) {
        return false;
    }
    const std::int64_t dx = x - x0_;
    const std::int64_t dy = y - y0_;
    if (dx < 0 || dy < 0) {
        return false;
    }
    const std::int64_t column = dx / cellWidth_;
    const std::int64_t row = dy / cellHeight_;
    if (column >= columns_ || row >= rows_) {
        return false;
    }
    const std::uint32_t code = cells_[static_cast<std::size_t>(row * columns_ + column)];
    if (code < kFirstEntryCode) {
        return code == kLandCell;
    }
    for (const TEntry* e = &entries_[code - kFirstEntryCode];; ++e) {
        if (rects_[e->rect].StrictlyContains(x, y)) {
            bool inside = e->base != 0;
            const std::int32_t* toggle = toggles_.data() + e->toggleBegin;
            for (std::uint32_t t = 0; t < e->toggleCount && toggle[t] <= y; ++t) {
                inside = !inside;
            }
            const TEdge* edge = edges_.data() + e->edgeBegin;
            for (std::uint32_t k = 0; k < e->edgeCount; ++k) {
                if (EdgeCrossesRay(x, y, edge[k].x1, edge[k].y1, edge[k].x2, edge[k].y2)) {
                    inside = !inside;
                }
            }
            if (inside) {
                return true;
            }
        }
        if (e->last != 0) {
            return false;
        }
    }
}

bool TLandIndex::Contains(const TGeoPos& p) const {
    const std::int64_t y = p.lat;
    const std::int64_t x = p.lon;
    if (ContainsAt(x, y) || ContainsAt(x + kGlobeUnitsPerCircle, y)) {
        return true;
    }
    for (const TSlowChain& slow : slowChains_) {
        const TGeoRect& rect = slow.object->BoundingRect();
        const auto points = slow.object->Chain(slow.chain).Points();
        const std::int64_t shift = slow.object->ChainShift(slow.chain);
        for (const std::int64_t tx : {x, x + kGlobeUnitsPerCircle}) {
            if (rect.StrictlyContains(tx, y) && ChainContains(points, shift, tx, y)) {
                return true;
            }
        }
    }
    return false;
}

TLandIndex::TStats TLandIndex::Stats() const {
    TStats stats;
    stats.x0 = x0_;
    stats.y0 = y0_;
    stats.cellWidth = cellWidth_;
    stats.cellHeight = cellHeight_;
    stats.columns = columns_;
    stats.rows = rows_;
    for (const std::uint32_t code : cells_) {
        if (code == kSeaCell) {
            ++stats.seaCells;
        } else if (code == kLandCell) {
            ++stats.landCells;
        } else {
            ++stats.mixedCells;
        }
    }
    stats.edgeRefs = edges_.size();
    stats.slowChains = slowChains_.size();
    return stats;
}

} // namespace tarnwake::map
