#include "combat/TorpedoMounts.h"

#include "combat/FightingShip.h"

namespace tarnwake::combat {

void ReloadTorpedoMounts(TFightingShip&, int, const std::string&, core::TRandomGenerator&) {}

} // namespace tarnwake::combat
