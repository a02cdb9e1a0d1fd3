#pragma once

#include "core/Colour.h"
#include "map/GeoPos.h"
#include "map/GlobeLayer.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwake::core {
class IMessages;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::map {

// Which land layers count as blocking: the coast layer (land layer 2) is shoal water near
// the shore that ships keep out of when they can; some placements only avoid dry land.
enum class TLandRule {
    LandOrCoast,
    LandOnly,
};

// The chart: the ordered list of layers (index 0 at the front) with the land tests the rules
// rely on. The battle chart and the campaign chart ("CampGlobe") are both globes.
class TGlobe {
public:
    TGlobe() = default;
    explicit TGlobe(std::string name) : name_(std::move(name)) {}
    TGlobe(const TGlobe&) = delete;
    TGlobe& operator=(const TGlobe&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    // Where failures inside the land tests are reported; may be left unset (silence).
    void SetMessages(core::IMessages* messages) { messages_ = messages; }

    // ---- Layers.
    int LayerCount() const { return static_cast<int>(layers_.size()); }
    TGlobeLayer& Layer(int index) const { return *layers_.at(static_cast<std::size_t>(index)); }
    // The layer of that name (letter case aside); nullptr when there is none.
    TGlobeLayer* FindLayer(std::string_view name) const;
    // The layer of that name, created empty at the end of the list when there is none.
    TGlobeLayer& FindOrCreateLayer(std::string_view name);
    // The layer ships, flags, tracks, reports and torpedoes are drawn on (created on first
    // use, like every game layer).
    TGlobeLayer& ShipLayer() { return FindOrCreateLayer("ShipLayer"); }
    // Puts a layer at the end of the list and answers it.
    TGlobeLayer& AddLayer(std::unique_ptr<TGlobeLayer> layer);
    // Frees the layer (and the objects it owns); land layers pointing at it are cleared.
    void RemoveLayer(TGlobeLayer* layer);
    void ClearLayers();
    // Back to a chart with no layers, no land and the default view, for a new game; the
    // messages stay.
    void Reset();
    // Moves a layer to a place in the list (0: the front).
    void MoveLayer(TGlobeLayer* layer, int newIndex);
    int IndexOfLayer(const TGlobeLayer* layer) const;

    // Brings the game's layers to the front in the order the chart draws them: each of
    // "ShipLayer", "LocationLayer", land layer 1, the mine layer(s), "SearchLayer" and land
    // layer 2 is moved to the front in turn, so land layer 2 ends first.
    void ArrangeLayers(bool singleMineLayer, core::IMessages& messages);

    // ---- Land.
    // Land layers 1 to 3 as the scenario names them. Answers false (and leaves the layer
    // unset) when the chart has no layer of that name.
    bool SetLandLayer(int number, std::string_view name);
    void SetLandLayer(int number, TGlobeLayer* layer);
    TGlobeLayer* LandLayer(int number) const;
    const std::string& LandLayerName(int number) const;

    // Land layer 1 holds the point. With no land layer 1 nothing is land and the no-land
    // flag is set, for the minute loop to report (unless the lack was accepted).
    bool IsOnLand(const TGeoPos& p);
    // Land layer 1 or, when there is one, land layer 2 holds the point.
    bool IsOnLandOrCoast(const TGeoPos& p);
    bool NoLandFlag() const { return noLand_; }
    // The chart has no land layer and the player was told so as it loaded: the land tests
    // then answer false without raising the flag, and arranging the layers does not report
    // it again. Until the layers are cleared.
    void AcceptNoLand() { noLandAccepted_ = true; }
    void ClearNoLandFlag() { noLand_ = false; }
    // When the flag is set: shows "Warning! No land layer found!", then the names of all
    // layers one per line, clears the flag and answers true (the caller stops the clock).
    bool ReportNoLandLayer(core::IMessages& messages);

    // The minefield half of IsBlocked: whether a minefield at p blocks the ship (ship may be
    // null). Set by the minefield rules; unset, no minefield blocks anything.
    using TMinefieldTest = std::function<bool(const TGeoPos&, const combat::TFightingShip*)>;
    void SetMinefieldTest(TMinefieldTest test) { minefieldTest_ = std::move(test); }
    // A ship may not go to p: a minefield that blocks it, or land (by `rule`).
    bool IsBlocked(const TGeoPos& p, const combat::TFightingShip* ship,
                   TLandRule rule = TLandRule::LandOrCoast);
    bool MinefieldBlocks(const TGeoPos& p, const combat::TFightingShip* ship) const {
        return minefieldTest_ && minefieldTest_(p, ship);
    }

    // ---- The view, as the environment file and the chart view set it.
    // Pixels per globe unit at the current zoom; the pick tolerance is two pixels.
    double Scale() const { return scale_; }
    void SetScale(double pixelsPerGlobeUnit) { scale_ = pixelsPerGlobeUnit; }
    double PickTolerance() const;
    TGeoPos ViewCentre;
    double ViewZoom = 0.0; // nautical miles across the view; 0: the whole area
    core::TColor SeaColour = core::colors::SkyBlue;
    std::string EnvironmentFile;

private:
    bool LandHit(TGlobeLayer* layer, const TGeoPos& p);

    std::string name_;
    core::IMessages* messages_ = nullptr;
    std::vector<std::unique_ptr<TGlobeLayer>> layers_;
    std::array<TGlobeLayer*, 3> landLayers_{};
    std::array<std::string, 3> landLayerNames_{};
    bool noLand_ = false;
    bool noLandAccepted_ = false;
    TMinefieldTest minefieldTest_;
    double scale_ = 0.0;
};

// A point drawn at random around p: course Random(360), distance
// min(maxYards, minYards + Random(max(maxYards, minYards) - minYards)) yards.
TGeoPos RandomPointNear(const TGeoPos& p, int maxYards, int minYards,
                        core::TRandomGenerator& random);

// A random point around p that the ship may go to. After 400 blocked draws the search
// reaches out twice as far, after 600 five times, after 800 ten and after 900 twenty times;
// when the 1001st draw is still blocked the answer is p itself.
TGeoPos RandomFreePointNear(TGlobe& globe, const TGeoPos& p, int maxYards, int minYards,
                            const combat::TFightingShip* ship, core::TRandomGenerator& random);

} // namespace tarnwake::map
