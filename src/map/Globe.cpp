#include "map/Globe.h"

#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/Text.h"
#include "map/Geometry.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>

namespace tarnwake::map {

namespace {

std::size_t LandSlot(int number) {
    if (number < 1 || number > 3) {
        throw std::out_of_range("land layers are numbered 1 to 3");
    }
    return static_cast<std::size_t>(number - 1);
}

} // namespace

TGlobeLayer* TGlobe::FindLayer(std::string_view name) const {
    for (const auto& layer : layers_) {
        if (core::EqualsNoCase(layer->Name(), name)) {
            return layer.get();
        }
    }
    return nullptr;
}

TGlobeLayer& TGlobe::FindOrCreateLayer(std::string_view name) {
    if (TGlobeLayer* layer = FindLayer(name)) {
        return *layer;
    }
    return AddLayer(std::make_unique<TGlobeLayer>(std::string(name)));
}

TGlobeLayer& TGlobe::AddLayer(std::unique_ptr<TGlobeLayer> layer) {
    if (!layer) {
        throw std::invalid_argument("no layer to add");
    }
    layer->globe_ = this;
    layers_.push_back(std::move(layer));
    return *layers_.back();
}

void TGlobe::RemoveLayer(TGlobeLayer* layer) {
    const auto it = std::find_if(layers_.begin(), layers_.end(),
                                 [layer](const auto& p) { return p.get() == layer; });
    if (it == layers_.end()) {
        return;
    }
    for (auto& land : landLayers_) {
        if (land == layer) {
            land = nullptr;
        }
    }
    layers_.erase(it);
}

void TGlobe::ClearLayers() {
    landLayers_.fill(nullptr);
    noLandAccepted_ = false;
    layers_.clear();
}

void TGlobe::Reset() {
    ClearLayers();
    landLayerNames_ = {};
    noLand_ = false;
    minefieldTest_ = {};
    scale_ = 0.0;
    ViewCentre = {};
    ViewZoom = 0.0;
    SeaColour = core::colors::SkyBlue;
    EnvironmentFile.clear();
}

int TGlobe::IndexOfLayer(const TGlobeLayer* layer) const {
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        if (layers_[i].get() == layer) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TGlobe::MoveLayer(TGlobeLayer* layer, int newIndex) {
    const int from = IndexOfLayer(layer);
    if (from < 0) {
        return;
    }
    const int to = std::clamp(newIndex, 0, LayerCount() - 1);
    auto moving = std::move(layers_[static_cast<std::size_t>(from)]);
    layers_.erase(layers_.begin() + from);
    layers_.insert(layers_.begin() + to, std::move(moving));
}

void TGlobe::ArrangeLayers(bool singleMineLayer, core::IMessages& messages) {
    try {
        if (layers_.empty()) {
            messages.Warn("No layers to arrange!");
            return;
        }
        const auto toFront = [this](TGlobeLayer* layer) {
            if (layer != nullptr) {
                MoveLayer(layer, 0);
            }
        };
        const auto required = [&](std::string_view name, const std::string& missingText) {
            TGlobeLayer* layer = FindLayer(name);
            if (layer == nullptr) {
                messages.Warn(missingText);
            }
            toFront(layer);
        };
        required("ShipLayer", "Cannot find ShipLayer");
        required("LocationLayer", "Cannot find LocationLayer");
        if (landLayers_[0] == nullptr && !noLandAccepted_) {
            messages.Warn("Cannot find land layer 1 " + landLayerNames_[0]);
        }
        toFront(landLayers_[0]);
        if (singleMineLayer) {
            toFront(FindLayer("MineLayer"));
        } else {
            toFront(FindLayer("MineLayer0"));
            toFront(FindLayer("MineLayer1"));
        }
        required("SearchLayer", "Cannot find SearchLayer");
        toFront(landLayers_[1]);
    } catch (const std::exception& e) {
        messages.Error(std::string("Error in ArrangeLayers procedure!\n") + e.what());
    }
}

bool TGlobe::SetLandLayer(int number, std::string_view name) {
    const std::size_t slot = LandSlot(number);
    landLayerNames_[slot] = std::string(name);
    landLayers_[slot] = FindLayer(name);
    return landLayers_[slot] != nullptr;
}

void TGlobe::SetLandLayer(int number, TGlobeLayer* layer) {
    const std::size_t slot = LandSlot(number);
    landLayers_[slot] = layer;
    if (layer != nullptr) {
        landLayerNames_[slot] = layer->Name();
    }
}

TGlobeLayer* TGlobe::LandLayer(int number) const {
    return landLayers_[LandSlot(number)];
}

const std::string& TGlobe::LandLayerName(int number) const {
    return landLayerNames_[LandSlot(number)];
}

bool TGlobe::LandHit(TGlobeLayer* layer, const TGeoPos& p) {
    try {
        return layer->HitsArea(p);
    } catch (...) {
        // Only running out of memory while indexing can get here; the game goes on as if
        // there were no land rather than stopping.
        if (messages_ != nullptr) {
            messages_->Error("Debug: Error in IsOnLand procedure!");
        }
        noLand_ = true;
        return false;
    }
}

bool TGlobe::IsOnLand(const TGeoPos& p) {
    if (landLayers_[0] == nullptr) {
        noLand_ = noLand_ || !noLandAccepted_;
        return false;
    }
    return LandHit(landLayers_[0], p);
}

bool TGlobe::IsOnLandOrCoast(const TGeoPos& p) {
    if (landLayers_[0] == nullptr) {
        noLand_ = noLand_ || !noLandAccepted_;
        return false;
    }
    return LandHit(landLayers_[0], p) || (landLayers_[1] != nullptr && LandHit(landLayers_[1], p));
}

bool TGlobe::ReportNoLandLayer(core::IMessages& messages) {
    if (!noLand_) {
        return false;
    }
    messages.Warn("Warning! No land layer found!");
    std::string names;
    for (const auto& layer : layers_) {
        if (!names.empty()) {
            names += '\n';
        }
        names += layer->Name();
    }
    messages.Inform(names);
    noLand_ = false;
    return true;
}

bool TGlobe::IsBlocked(const TGeoPos& p, const combat::TFightingShip* ship, TLandRule rule) {
    if (MinefieldBlocks(p, ship)) {
        return true;
    }
    return rule == TLandRule::LandOrCoast ? IsOnLandOrCoast(p) : IsOnLand(p);
}

double TGlobe::PickTolerance() const {
    if (scale_ <= 0.0) {
        return 0.0;
    }
    return static_cast<double>(core::Round(2.0 / scale_));
}

TGeoPos RandomPointNear(const TGeoPos& p, int maxYards, int minYards,
                        core::TRandomGenerator& random) {
    const int course = random.Random(360);
    const int distance =
        std::min(maxYards, minYards + random.Random(std::max(maxYards, minYards) - minYards));
    return MovePoint(p, course, distance);
}

TGeoPos RandomFreePointNear(TGlobe& globe, const TGeoPos& p, int maxYards, int minYards,
                            const combat::TFightingShip* ship, core::TRandomGenerator& random) {
    constexpr int kMaxDraws = 1001;
    // The widened reach is capped so that a huge maximum cannot overflow.
    const auto widened = [maxYards](std::int64_t factor) {
        return static_cast<int>(
            std::min<std::int64_t>(factor * maxYards, std::numeric_limits<int>::max()));
    };
    int reach = maxYards;
    for (int draw = 1; draw <= kMaxDraws; ++draw) {
        const TGeoPos candidate = RandomPointNear(p, reach, minYards, random);
        if (!globe.IsBlocked(candidate, ship)) {
            return candidate;
        }
        // `draw` draws have now failed.
        if (draw == 400) {
            reach = widened(2);
        } else if (draw == 600) {
            reach = widened(5);
        } else if (draw == 800) {
            reach = widened(10);
        } else if (draw == 900) {
            reach = widened(20);
        }
    }
    return p;
}

} // namespace tarnwake::map
