#include "map/GeoDataObject.h"

#include "core/Rounding.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"

#include <algorithm>
#include <stdexcept>

namespace tarnwake::map {

namespace {

const TPointStore& EmptyChain() {
    static const TPointStore empty;
    return empty;
}

std::int64_t RoundedMean(std::int64_t sum, std::int64_t count) {
    return core::Round(static_cast<double>(sum) / static_cast<double>(count));
}

} // namespace

TGeoDataObject::TGeoDataObject(TGlobeLayer* layer) {
    if (layer != nullptr) {
        layer->Attach(this);
    }
}

TGeoDataObject::~TGeoDataObject() {
    if (layer_ != nullptr) {
        layer_->Detach(this);
    }
}

const TPointStore& TGeoDataObject::Chain(int i) const {
    if (i < 0 || i >= ChainCount()) {
        return EmptyChain();
    }
    return chains_[static_cast<std::size_t>(i)];
}

void TGeoDataObject::EnsureChain(int i) {
    if (i < 0) {
        throw std::out_of_range("negative chain index");
    }
    if (i >= ChainCount()) {
        chains_.resize(static_cast<std::size_t>(i) + 1);
        Changed();
    }
}

std::vector<TGeoPos>& TGeoDataObject::MutableChain(int chain) {
    EnsureChain(chain);
    return chains_[static_cast<std::size_t>(chain)].points_;
}

int TGeoDataObject::AddPoint(int chain, const TGeoPos& p) {
    auto& points = MutableChain(chain);
    points.push_back(TGeoPos{p.lon, p.lat, 0});
    Changed();
    return static_cast<int>(points.size()) - 1;
}

void TGeoDataObject::SetPoint(int chain, int i, const TGeoPos& p) {
    auto& points = MutableChain(chain);
    points.at(static_cast<std::size_t>(i)) = TGeoPos{p.lon, p.lat, 0};
    Changed();
}

void TGeoDataObject::DeletePoint(int chain, int i) {
    auto& points = MutableChain(chain);
    if (i < 0 || static_cast<std::size_t>(i) >= points.size()) {
        throw std::out_of_range("point index out of range");
    }
    points.erase(points.begin() + i);
    Changed();
}

void TGeoDataObject::SetChainPoints(int chain, std::vector<TGeoPos> points) {
    for (auto& p : points) {
        p.height = 0;
    }
    MutableChain(chain) = std::move(points);
    Changed();
}

void TGeoDataObject::ClearChain(int chain) {
    MutableChain(chain).clear();
    Changed();
}

void TGeoDataObject::ClearChains() {
    chains_.clear();
    Changed();
}

void TGeoDataObject::SetStoredPoint(const TGeoPos& p) {
    point_ = TGeoPos{p.lon, p.lat, 0};
    Changed();
}

void TGeoDataObject::SetClosed(bool closed) {
    if (closed_ != closed) {
        closed_ = closed;
        Changed();
    }
}

void TGeoDataObject::SetHidden(bool hidden) {
    if (hidden_ != hidden) {
        hidden_ = hidden;
        Changed();
    }
}

void TGeoDataObject::SetZoomRange(int zoomMin, int zoomMax) {
    zoomMin_ = zoomMin;
    zoomMax_ = zoomMax;
}

void TGeoDataObject::Changed() {
    cacheValid_ = false;
    if (layer_ != nullptr) {
        layer_->Touch();
    }
}

// Means and boxes are taken on longitudes unwrapped along each chain, so that an island
// across the 180th meridian has its centre on the island and not on the far side of the
// world.
void TGeoDataObject::UpdateCache() const {
    if (cacheValid_) {
        return;
    }
    shifts_.resize(chains_.size());
    bool any = false;
    std::int64_t minX = 0;
    std::int64_t maxX = 0;
    std::int64_t minY = 0;
    std::int64_t maxY = 0;
    std::int64_t meanSumX = 0;
    std::int64_t meanSumY = 0;
    std::int64_t meanCount = 0;
    std::int64_t firstMeanX = 0;
    for (std::size_t c = 0; c < chains_.size(); ++c) {
        const auto points = chains_[c].Points();
        const std::int64_t shift = ChainLongitudeShift(points);
        shifts_[c] = shift;
        if (points.empty()) {
            continue;
        }
        std::int64_t x = points[0].lon + shift;
        std::int64_t sumX = 0;
        std::int64_t sumY = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (i > 0) {
                x += LongitudeStep(points[i - 1].lon, points[i].lon);
            }
            const std::int64_t y = points[i].lat;
            if (!any) {
                minX = maxX = x;
                minY = maxY = y;
                any = true;
            }
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            sumX += x;
            sumY += y;
        }
        const auto n = static_cast<std::int64_t>(points.size());
        std::int64_t meanX = RoundedMean(sumX, n);
        if (meanCount == 0) {
            firstMeanX = meanX;
        } else {
            meanX = firstMeanX + LongitudeStep(firstMeanX, meanX);
        }
        meanSumX += meanX;
        meanSumY += RoundedMean(sumY, n);
        ++meanCount;
    }
    if (any) {
        rect_ = TGeoRect{minX, minY, maxX - minX, maxY - minY};
        centre_ = TGeoPos{WrapLongitude(RoundedMean(meanSumX, meanCount)),
                          static_cast<std::int32_t>(RoundedMean(meanSumY, meanCount)), 0};
    } else {
        rect_ = TGeoRect{point_.lon, point_.lat, 0, 0};
        centre_ = point_;
    }
    cacheValid_ = true;
}

TGeoPos TGeoDataObject::Centre() const {
    UpdateCache();
    return centre_;
}

TGeoPos TGeoDataObject::ChainCentre(int chain) const {
    const auto points = Chain(chain).Points();
    if (points.empty()) {
        return point_;
    }
    std::int64_t x = points[0].lon;
    std::int64_t sumX = 0;
    std::int64_t sumY = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            x += LongitudeStep(points[i - 1].lon, points[i].lon);
        }
        sumX += x;
        sumY += points[i].lat;
    }
    const auto n = static_cast<std::int64_t>(points.size());
    return TGeoPos{WrapLongitude(RoundedMean(sumX, n)),
                   static_cast<std::int32_t>(RoundedMean(sumY, n)), 0};
}

const TGeoRect& TGeoDataObject::BoundingRect() const {
    UpdateCache();
    return rect_;
}

std::int64_t TGeoDataObject::ChainShift(int chain) const {
    UpdateCache();
    if (chain < 0 || static_cast<std::size_t>(chain) >= shifts_.size()) {
        return 0;
    }
    return shifts_[static_cast<std::size_t>(chain)];
}

void TGeoDataObject::MoveTo(const TGeoPos& p) {
    const TGeoPos centre = Centre();
    const std::int64_t dx = LongitudeStep(centre.lon, p.lon);
    const std::int64_t dy = static_cast<std::int64_t>(p.lat) - centre.lat;
    bool anyPoint = false;
    for (auto& chain : chains_) {
        for (auto& point : chain.points_) {
            point.lon = WrapLongitude(point.lon + dx);
            point.lat = static_cast<std::int32_t>(point.lat + dy);
            anyPoint = true;
        }
    }
    if (!anyPoint) {
        point_ = TGeoPos{p.lon, p.lat, 0};
    }
    Changed();
}

bool TGeoDataObject::ContainsPoint(const TGeoPos& p) const {
    if (!closed_) {
        return false;
    }
    UpdateCache();
    for (const std::int64_t x : {std::int64_t{p.lon}, std::int64_t{p.lon} + kGlobeUnitsPerCircle}) {
        for (std::size_t c = 0; c < chains_.size(); ++c) {
            if (ChainContains(chains_[c].Points(), shifts_[c], x, p.lat)) {
                return true;
            }
        }
    }
    return false;
}

bool TGeoDataObject::HitBy(const TGeoPos& p, double tolerance) const {
    if (hidden_) {
        return false;
    }
    UpdateCache();
    const std::int64_t y = p.lat;
    for (const std::int64_t x : {std::int64_t{p.lon}, std::int64_t{p.lon} + kGlobeUnitsPerCircle}) {
        if (!rect_.Empty() && !rect_.StrictlyContains(x, y)) {
            continue;
        }
        if (closed_) {
            for (std::size_t c = 0; c < chains_.size(); ++c) {
                if (ChainContains(chains_[c].Points(), shifts_[c], x, y)) {
                    return true;
                }
            }
            continue;
        }
        // Lines are measured on the plain numbers, so only the point as it is.
        if (x != p.lon) {
            continue;
        }
        bool anyPoint = false;
        for (const auto& chain : chains_) {
            const auto points = chain.Points();
            anyPoint = anyPoint || !points.empty();
            for (std::size_t i = 1; i < points.size(); ++i) {
                if (PointNearSegment(p, points[i - 1], points[i], tolerance)) {
                    return true;
                }
            }
        }
        if (!anyPoint) {
            const double dx = static_cast<double>(p.lon) - point_.lon;
            const double dy = static_cast<double>(p.lat) - point_.lat;
            if (dx * dx + dy * dy < tolerance * tolerance) {
                return true;
            }
        }
    }
    return false;
}

} // namespace tarnwake::map
