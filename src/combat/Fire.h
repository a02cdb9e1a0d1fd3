#pragma once

#include <string>

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::combat {

class TFightingShip;

// A fire started by a hit of `calibre` inches (or the strength a rule names): a ship not yet
// on fire starts burning at level 1 and the hit's text gains "Fire started"; a fire already
// burning is left as it is. Answers the fire text, empty when none was started. The odds that a
// hit sets a ship alight, and the growth of a fire, are damage control's rules.
std::string StartFire(TFightingShip& ship, int calibre, core::TRandomGenerator& random);

} // namespace tarnwake::combat
