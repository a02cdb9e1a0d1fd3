#include "engine/Tracks.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "engine/GameWorld.h"
#include "map/GamePresenters.h"
#include "map/GlobeLayer.h"

namespace tarnwake::engine {

void ExtendDivisionTrack(const TGameWorld& world, combat::TDivision& division) {
    const combat::TFightingShip* flag = division.Flagship();
    if (!division.Track || flag == nullptr || flag->Marker == nullptr) {
        return;
    }
    const int count = division.Track->Chain(0).Count();
    if (world.TimeElapsed % 2 != 0 || count < 2) {
        division.Track->AddPoint(0, flag->Position());
    } else {
        division.Track->SetPoint(0, count - 1, flag->Position());
    }
}

void CreateDivisionGraphics(TGameWorld& world, combat::TDivision& division) {
    core::IMessages& messages = world.Messages();
    map::TGlobeLayer& layer = world.Chart.FindOrCreateLayer("ShipLayer");
    division.FlagMarker = std::make_unique<combat::TDivLocation>(&layer);
    division.FlagMarker->SetRef({map::TMarkerKind::Division, division.Id.Value});
    division.FlagMarker->SetTitle(division.DivisionName);
    if (const auto id = map::FlagPresenter(world.Chart, division.Side, messages)) {
        division.FlagMarker->SetPresenterID(*id);
    }
    division.Track = std::make_unique<map::TGeoDataObject>(&layer);
    division.Track->SetRef({map::TMarkerKind::Track, division.Id.Value});
    const combat::TFightingShip* flag = division.Flagship();
    const int type = flag != nullptr ? designs::TypeIndex(flag->ShipType) : 0;
    if (const auto id = map::TrackPresenter(world.Chart, division.Side, type, messages)) {
        division.Track->SetPresenterID(*id);
    }
    RefreshDivisionGraphics(division);
}

void RefreshDivisionGraphics(combat::TDivision& division) {
    const combat::TFightingShip* flag = division.Flagship();
    if (flag == nullptr) {
        return;
    }
    if (division.FlagMarker) {
        division.FlagMarker->SetStoredPoint(flag->Position());
    }
    // Until the division has steamed, its track is only where it starts.
    if (division.Track && division.Track->Chain(0).Count() <= 1) {
        division.Track->SetChainPoints(0, {flag->Position()});
    }
}

} // namespace tarnwake::engine
