#include "designs/Ship.h"

#include <string_view>

namespace tarnwake::designs {

void Tship::ComputeTurretFlags() {
    const auto anyAt = [this](std::string_view letters) {
        for (const auto& t : Turrets) {
            if (letters.find(t.Pos) != std::string_view::npos) {
                return true;
            }
        }
        return false;
    };
    NoSuperfiringTurrets = !anyAt("BVX");
    NoCentreTurrets = !anyAt("CDPRVW");
    CentrelineOnly = !anyAt("DEFGHIJKST");
    HasMidshipsAftTurret = anyAt("W");
}

} // namespace tarnwake::designs
