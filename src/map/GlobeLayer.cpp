#include "map/GlobeLayer.h"

#include "map/Globe.h"
#include "map/LandIndex.h"

#include <algorithm>

namespace tarnwake::map {

TGlobeLayer::TGlobeLayer(std::string name) : name_(std::move(name)) {}

TGlobeLayer::~TGlobeLayer() {
    // Let go of every object first, so that freeing the owned ones does not search the list.
    for (TGeoDataObject* object : objects_) {
        object->layer_ = nullptr;
    }
    objects_.clear();
    owned_.clear();
}

int TGlobeLayer::Index() const {
    return globe_ != nullptr ? globe_->IndexOfLayer(this) : -1;
}

void TGlobeLayer::Attach(TGeoDataObject* object) {
    object->layer_ = this;
    objects_.push_back(object);
    Touch();
}

void TGlobeLayer::Detach(TGeoDataObject* object) {
    const auto it = std::find(objects_.begin(), objects_.end(), object);
    if (it != objects_.end()) {
        objects_.erase(it);
    }
    object->layer_ = nullptr;
    Touch();
}

void TGlobeLayer::Adopt(std::unique_ptr<TGeoDataObject> object) {
    if (!object) {
        return;
    }
    if (object->layer_ != this) {
        if (object->layer_ != nullptr) {
            object->layer_->Detach(object.get());
        }
        Attach(object.get());
    }
    owned_.push_back(std::move(object));
}

void TGlobeLayer::DestroyObject(TGeoDataObject* object) {
    if (object == nullptr || object->layer_ != this) {
        return;
    }
    const auto owned = std::find_if(owned_.begin(), owned_.end(),
                                    [object](const auto& p) { return p.get() == object; });
    if (owned != owned_.end()) {
        owned_.erase(owned); // the destructor takes it off the list
    } else {
        Detach(object);
    }
}

void TGlobeLayer::ClearObjects() {
    for (TGeoDataObject* object : objects_) {
        object->layer_ = nullptr;
    }
    objects_.clear();
    owned_.clear();
    Touch();
}

TGlobePresenter* TGlobeLayer::FindPresenter(std::string_view name) {
    for (auto& p : presenters_) {
        if (p.Name == name) {
            return &p;
        }
    }
    return nullptr;
}

const TGlobePresenter* TGlobeLayer::FindPresenter(std::string_view name) const {
    return const_cast<TGlobeLayer*>(this)->FindPresenter(name);
}

TGlobePresenter* TGlobeLayer::PresenterByID(int id) {
    for (auto& p : presenters_) {
        if (p.PresenterID == id) {
            return &p;
        }
    }
    return nullptr;
}

int TGlobeLayer::AddPresenter(TGlobePresenter presenter) {
    if (presenter.PresenterID == 0 || PresenterByID(presenter.PresenterID) != nullptr) {
        int next = 1;
        for (const auto& p : presenters_) {
            next = std::max(next, p.PresenterID + 1);
        }
        presenter.PresenterID = next;
    }
    presenters_.push_back(std::move(presenter));
    return presenters_.back().PresenterID;
}

TGeoDataObject* TGlobeLayer::ObjectAtPoint(const TGeoPos& p, double tolerance) const {
    for (auto it = objects_.rbegin(); it != objects_.rend(); ++it) {
        if ((*it)->HitBy(p, tolerance)) {
            return *it;
        }
    }
    return nullptr;
}

void TGlobeLayer::BuildAreaIndex() const {
    if (!areaIndex_ || areaIndexRevision_ != revision_) {
        areaIndex_.reset();
        areaIndex_ = TLandIndex::Build(objects_);
        areaIndexRevision_ = revision_;
    }
}

bool TGlobeLayer::HitsArea(const TGeoPos& p) const {
    BuildAreaIndex();
    return areaIndex_->Contains(p);
}

} // namespace tarnwake::map
