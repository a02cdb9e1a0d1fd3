#pragma once

#include "engine/ComputerOpponent.h"

namespace tarnwake::ui {

// A stand-in opponent for pictures and timings of a battle: each division it commands steers
// for the nearest enemy ship, wherever she is, and once within gun range turns to bring her
// on the beam. Not a game opponent (it knows where every enemy is); the fleets of a scenario
// simply meet, as they did in history, without the computer opponent's judgement.
class TClosingOpponent : public engine::THoldingOpponent {
public:
    void DivisionDecides(engine::TGameWorld& world, combat::TDivision& division) override;
};

} // namespace tarnwake::ui
