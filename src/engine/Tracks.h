#pragma once

namespace tarnwake::combat {
class TDivision;
}

namespace tarnwake::engine {

class TGameWorld;

// The flagship draws its division's track: a new point on odd minutes, and on even ones the
// newest point moves up to the flagship, so a long battle's tracks stay light and always
// reach their ships.
void ExtendDivisionTrack(const TGameWorld& world, combat::TDivision& division);

// The division's flag and track on the ship layer, made once its ships are known.
void CreateDivisionGraphics(TGameWorld& world, combat::TDivision& division);
// The flag follows the flagship.
void RefreshDivisionGraphics(combat::TDivision& division);

} // namespace tarnwake::engine
