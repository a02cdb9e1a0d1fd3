#pragma once

namespace tarnwake::combat {
class TForce;
}

namespace tarnwake::ai {

class TDecisionContext;

// A force the computer commands: its own side's, or one of the player's handed to it.
bool UnderComputerControl(const combat::TForce& force);

// Once a minute, for every force: its divisions pass the waypoints they have reached; the
// battle turn away comes closer to being allowed again;
// now and then the force weighs the enemy it knows against its own ships, ammunition and
// fighting, and may tire (its fatigue, the withdrawal level, rises); and a force the computer
// commands releases its destroyer flotillas to attack, or calls them back.
void AssessForces(const TDecisionContext& context);

} // namespace tarnwake::ai
