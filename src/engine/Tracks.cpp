#include "engine/Tracks.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "engine/GameWorld.h"

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

} // namespace tarnwake::engine
