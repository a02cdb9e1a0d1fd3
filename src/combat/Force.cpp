#include "combat/Force.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"

namespace tarnwake::combat {

TDivision* TForce::FlagDivision() {
    const auto pick = [this](auto&& rule) -> TDivision* {
        for (TDivision* d : Divisions) {
            if (d->HasShips() && rule(*d)) {
                return d;
            }
        }
        return nullptr;
    };
    TDivision* found = pick([](const TDivision& d) {
        return d.Role == roleIndependent && !d.LockedAI &&
               d.Flagship()->ShipType <= designs::TShipType::AMC;
    });
    if (found == nullptr) {
        found = pick([](const TDivision& d) { return d.Role == roleIndependent && !d.LockedAI; });
    }
    if (found == nullptr) {
        found = pick([](const TDivision&) { return true; });
    }
    for (TDivision* d : Divisions) {
        d->FlagDivisionMark = d == found;
    }
    flagship_ = found != nullptr ? found->Flagship() : nullptr;
    return found;
}

TFightingShip* TForce::ForceFlagship() {
    FlagDivision();
    return flagship_;
}

} // namespace tarnwake::combat
