#pragma once

#include <string>

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::combat {

class TFightingShip;

// Once a minute, from the ship's damage control: her submerged tubes' reloads go on, slower in
// a heavy sea and in a flooded hull; each reload completed is written to her log at `time`.
void ReloadTorpedoMounts(TFightingShip& ship, int seaState, const std::string& time,
                         core::TRandomGenerator& random);

} // namespace tarnwake::combat
