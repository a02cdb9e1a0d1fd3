#pragma once

#include <string>

namespace tarnwake::core {
class IMessages;
}

namespace tarnwake::designs {

// A main-battery turret as the design file gives it: its guns and its position letter.
struct TTurret {
    int Guns = 0;
    char Pos = 'Z';
};

// The turret in play. A design record keeps its turrets in this form too, so a ship in play
// and a design loaded for display are one and the same record.
struct TFightingTurret : TTurret {
    int Silenced = 0; // minutes until it can fire again; 0 = able to fire
    bool Destroyed = false;
    int Bearing = 0; // relative bearing it is trained on, degrees

    bool Operable() const { return Silenced == 0 && !Destroyed; }
};

// A torpedo mount as the design file gives it: its position letter.
struct TTorpedomount {
    char Pos = 'Z';
};

struct TFightingTorpedoMount : TTorpedomount {
    bool Destroyed = false;
    int TorpsLeft = 0; // torpedoes ready in the tubes
    int Tubes = 0;
    int ReloadTime = 0; // minutes until one reload is complete; 0 = not reloading
    int Reloads = 0;    // reloads still carried
};

// ---- Turret positions --------------------------------------------------------------------
// Relative bearings are whole degrees 0..359 clockwise from the bow.

// Whether a turret at `pos` bears on relative bearing `r`. Wing turrets of ships built to
// fire across the deck (`cdf`) bear on the far side too. An illegal letter warns
// "Warning! Illegal turret position: <letter>" and never bears.
bool TurretBears(char pos, int r, bool cdf, core::IMessages& messages);
// The bearing a turret is trained on when it does not bear on the target. An illegal letter
// shows "Illegal turret position!<letter>" and answers 270.
int TurretRestBearing(const TTurret& turret, core::IMessages& messages);
// "Forward", "Aft superimposed" ...; "Illegal turret position!" for other letters, and the
// empty name of the legal letters 5..8.
std::string TurretPositionName(char pos);
bool IsLegalTurretPosition(char pos);

// ---- Torpedo-mount positions --------------------------------------------------------------

bool MountCanFire(char pos, int r);
bool MountIsSubmerged(char pos);
// "Forward (sub)" ...; "Illegal mount designation: <letter>" for other letters.
std::string MountPositionName(char pos);

} // namespace tarnwake::designs
