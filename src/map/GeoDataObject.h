#pragma once

#include "map/GeoPos.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarnwake::map {

class TGlobeLayer;

// What a game thing's marker stands for: the kind of thing and its id in the game world, so
// that a pick on the chart or the drawing of a layer finds the thing without knowing its
// type. Markers that stand for nothing (coasts, locations, layer-file objects) have kind
// None.
enum class TMarkerKind : std::uint8_t {
    None,
    Ship,
    Division,
    Track,
    Objective,
    Minefield,
    SearchArea,
    SmokeFloat,
    Report,
    Torpedo,
};
struct TMarkerRef {
    TMarkerKind Kind = TMarkerKind::None;
    std::int32_t Id = 0;
    bool operator==(const TMarkerRef&) const = default;
};

// The box around an object: the south-west corner and the size, in globe units. The
// longitude is taken the short way round along the object's chains, so an object across the
// 180th meridian has a box that reaches past 180 E (left + width above kMaxLongitude).
struct TGeoRect {
    std::int64_t left = 0;
    std::int64_t bottom = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;

    std::int64_t Right() const { return left + width; }
    std::int64_t Top() const { return bottom + height; }
    bool Empty() const { return width <= 0 || height <= 0; }
    // Strictly inside: a point on the box's edge is outside.
    bool StrictlyContains(std::int64_t x, std::int64_t y) const {
        return y > bottom && y < Top() && x > left && x < Right();
    }
    bool operator==(const TGeoRect&) const = default;
};

// One list of points of an object (an outline, a wake, a track). Heights are never stored:
// every point reads back with height 0.
class TPointStore {
public:
    int Count() const { return static_cast<int>(points_.size()); }
    // Point i; throws std::out_of_range for an index outside 0..Count()-1.
    const TGeoPos& Point(int i) const { return points_.at(static_cast<std::size_t>(i)); }
    std::span<const TGeoPos> Points() const { return points_; }
    bool StoreHeight() const { return false; }

    bool operator==(const TPointStore&) const = default;

private:
    friend class TGeoDataObject;
    std::vector<TGeoPos> points_;
};

// The base of everything drawn on the chart: ships' outlines, flags, tracks, reports,
// torpedoes, minefields, locations and the land areas of a coast layer.
//
// Ownership: an object is always on the list of at most one layer, in creation order. It is
// owned either by that layer (TGlobeLayer::Create, and every object read from a layer file)
// or by the game object it belongs to (a ship owns its markers as members or unique_ptrs,
// constructed with the ship layer). Destroying an object takes it off its layer's list;
// destroying a layer first frees the objects it owns and lets go of the others, which then
// belong to no layer. Objects are neither copied nor moved, because the layer keeps their
// address.
class TGeoDataObject {
public:
    // Joins the end of `layer`'s object list (when a layer is given); the caller owns it.
    explicit TGeoDataObject(TGlobeLayer* layer = nullptr);
    virtual ~TGeoDataObject();
    TGeoDataObject(const TGeoDataObject&) = delete;
    TGeoDataObject& operator=(const TGeoDataObject&) = delete;

    TGlobeLayer* Layer() const { return layer_; }

    // ---- Chains: chain 0 is the outline, chain 1 a ship's wake.
    int ChainCount() const { return static_cast<int>(chains_.size()); }
    // Chain i; a chain beyond the count reads as empty (asking to change it creates it).
    const TPointStore& Chain(int i) const;
    // Creates empty chains up to and including chain i.
    void EnsureChain(int i);
    // Appends a point to chain i and answers its index.
    int AddPoint(int chain, const TGeoPos& p);
    // Throw std::out_of_range for a point index outside the chain.
    void SetPoint(int chain, int i, const TGeoPos& p);
    void DeletePoint(int chain, int i);
    void SetChainPoints(int chain, std::vector<TGeoPos> points);
    void ClearChain(int chain);
    void ClearChains();

    // The object's own position when it has no chains (a single-point object).
    const TGeoPos& StoredPoint() const { return point_; }
    void SetStoredPoint(const TGeoPos& p);

    // ---- Drawing state.
    bool Closed() const { return closed_; }
    void SetClosed(bool closed);
    bool Hidden() const { return hidden_; }
    void SetHidden(bool hidden);
    bool Selected() const { return selected_; }
    void SetSelected(bool selected) { selected_ = selected; }
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    int PresenterID() const { return presenterId_; }
    void SetPresenterID(int id) { presenterId_ = id; }
    // Zoom range in which the object is drawn; 0 is no limit.
    int ZoomMin() const { return zoomMin_; }
    int ZoomMax() const { return zoomMax_; }
    void SetZoomRange(int zoomMin, int zoomMax);
    const TMarkerRef& Ref() const { return ref_; }
    void SetRef(TMarkerRef ref) { ref_ = ref; }
    // A free value carried by layer files; the game does not use it.
    std::int32_t DataValue() const { return dataValue_; }
    void SetDataValue(std::int32_t value) { dataValue_ = value; }

    // ---- Derived from the points, cached until a point changes.
    // The mean of the chain means (each chain's mean point, rounded); the stored point when
    // no chain has points. Ships, flags and reports are where their object's centre is.
    TGeoPos Centre() const;
    // The mean point of one chain (the stored point when it is empty).
    TGeoPos ChainCentre(int chain) const;
    const TGeoRect& BoundingRect() const;
    // The whole circles added to chain i's longitudes in the area test (see Geometry.h).
    std::int64_t ChainShift(int chain) const;

    // Shifts every point of every chain (or the stored point) so that the centre lands on p.
    void MoveTo(const TGeoPos& p);

    // ---- Tests.
    // A closed object: the point is inside one of its chains (even-odd rule). Open objects
    // contain nothing.
    bool ContainsPoint(const TGeoPos& p) const;
    // The chart's hit test for one object: the box must be empty or strictly contain the
    // point (the point is also tried one circle further east when the box reaches past
    // 180 E); then a closed object is hit when it contains the point and an open one when
    // the point is within `tolerance` globe units of one of its segments. A single-point
    // object is hit within `tolerance` of its point. Hidden objects are never hit.
    bool HitBy(const TGeoPos& p, double tolerance) const;

private:
    friend class TGlobeLayer;

    void Changed();
    void UpdateCache() const;
    std::vector<TGeoPos>& MutableChain(int chain);

    TGlobeLayer* layer_ = nullptr;
    std::vector<TPointStore> chains_;
    TGeoPos point_;
    bool closed_ = false;
    bool hidden_ = false;
    bool selected_ = false;
    std::string title_;
    int presenterId_ = 0;
    int zoomMin_ = 0;
    int zoomMax_ = 0;
    std::int32_t dataValue_ = 0;
    TMarkerRef ref_;

    mutable bool cacheValid_ = false;
    mutable TGeoPos centre_;
    mutable TGeoRect rect_;
    mutable std::vector<std::int64_t> shifts_;
};

} // namespace tarnwake::map
