#pragma once

#include "map/GeoDataObject.h"
#include "map/GlobePresenter.h"
#include "map/GlobeUnits.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwake::map {

class TGlobe;
class TLandIndex;

// A named layer of the chart: its objects in creation order and its drawing styles.
class TGlobeLayer {
public:
    explicit TGlobeLayer(std::string name);
    ~TGlobeLayer();
    TGlobeLayer(const TGlobeLayer&) = delete;
    TGlobeLayer& operator=(const TGlobeLayer&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // The place in the chart's layer list (0 is the front); -1 when on no chart.
    int Index() const;
    TGlobe* Globe() const { return globe_; }

    bool Visible = true;
    bool Enabled = true;
    bool Animated = false;
    bool ShowTitles = true;
    bool NoInterrupt = false;
    int ZoomMin = 0; // 0: no limit
    int ZoomMax = 0;
    TGlobeUnitTypes ZoomUnits = TGlobeUnitTypes::NauticalMile;

    // ---- Objects.
    std::span<TGeoDataObject* const> Objects() const { return objects_; }
    int ObjectCount() const { return static_cast<int>(objects_.size()); }
    // A new object of type T (derived from TGeoDataObject) at the end of the list, owned by
    // the layer; T's constructor takes the layer first.
    template <typename T = TGeoDataObject, typename... Args> T& Create(Args&&... args) {
        auto object = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& ref = *object;
        owned_.push_back(std::move(object));
        return ref;
    }
    // Takes over an object already on this layer's list.
    void Adopt(std::unique_ptr<TGeoDataObject> object);
    // Frees an object the layer owns, or takes an object it does not own off the list.
    void DestroyObject(TGeoDataObject* object);
    void ClearObjects();

    // ---- Drawing styles.
    const std::vector<TGlobePresenter>& Presenters() const { return presenters_; }
    // The list itself, for readers that must keep a file's numbers as they are.
    std::vector<TGlobePresenter>& MutablePresenters() { return presenters_; }
    TGlobePresenter* FindPresenter(std::string_view name);
    const TGlobePresenter* FindPresenter(std::string_view name) const;
    TGlobePresenter* PresenterByID(int id);
    // Adds a style; one whose PresenterID is 0 or already taken gets the next free number.
    // Answers the number it is known by.
    int AddPresenter(TGlobePresenter presenter);
    // The style of that name, created with `make()` (a callable answering a TGlobePresenter)
    // only when the layer has none: the game never makes two styles of one name in a layer.
    template <typename MakeFn> int FindOrAddPresenter(std::string_view name, MakeFn&& make) {
        if (const TGlobePresenter* existing = FindPresenter(name)) {
            return existing->PresenterID;
        }
        TGlobePresenter presenter = make();
        presenter.Name = std::string(name);
        return AddPresenter(std::move(presenter));
    }

    // ---- Tests.
    // The chart's pick: the objects are tried from the last to the first and the first hit
    // is the answer (see TGeoDataObject::HitBy); nothing when none is hit.
    TGeoDataObject* ObjectAtPoint(const TGeoPos& p, double tolerance) const;
    // Whether any closed object that is not hidden contains the point: the land test.
    // Answers exactly as ObjectAtPoint with no tolerance on closed objects would, through a
    // grid index built on first use and rebuilt after the layer changes.
    bool HitsArea(const TGeoPos& p) const;
    // Builds the land index now (it is otherwise built by the first HitsArea).
    void BuildAreaIndex() const;
    const TLandIndex* AreaIndex() const { return areaIndex_.get(); }

    // Counts every change of an object's points, closed or hidden state, or the list.
    std::uint64_t Revision() const { return revision_; }

private:
    friend class TGeoDataObject;
    friend class TGlobe;

    void Attach(TGeoDataObject* object);
    void Detach(TGeoDataObject* object);
    void Touch() { ++revision_; }

    std::string name_;
    TGlobe* globe_ = nullptr;
    std::vector<TGeoDataObject*> objects_;
    std::vector<std::unique_ptr<TGeoDataObject>> owned_;
    std::vector<TGlobePresenter> presenters_;
    std::uint64_t revision_ = 0;
    mutable std::unique_ptr<TLandIndex> areaIndex_;
    mutable std::uint64_t areaIndexRevision_ = 0;
};

} // namespace tarnwake::map
