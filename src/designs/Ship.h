#pragma once

#include "designs/ShipTypes.h"
#include "designs/Turret.h"

#include <array>
#include <string>
#include <vector>

namespace tarnwake::designs {

inline constexpr int kFunnelCount = 4;
inline constexpr int kOutlineCount = 4;
inline constexpr int kOutlinePoints = 21;
// A class counts as obsolete from this day number on; the default lies after any battle.
inline constexpr int kNeverObsolete = 10000;

struct TFunnel {
    int Position = 0; // percent of the length from the bow; 0 = no funnel
    bool Oval = false;
};

struct TOutlinePoint {
    int Angle = 0;    // degrees clockwise from the bow, about the ship's centre
    int Distance = 0; // feet from the centre
};

// The design record of a ship class: what its design file says. A ship in play derives from
// it and adds its state. The identity fields at the end are read from the design file too and
// are kept by every ship of the class.
class Tship {
public:
    virtual ~Tship() = default;

    std::string Name; // the ship's own name, given by whoever creates it
    int Displacement = 0;
    int Speed = 0;
    // Armour in inches.
    float B = 0;   // belt amidships
    float D = 0;   // deck
    float BE = 0;  // belt at the ends
    float DE = 0;  // deck at the ends
    float CT = 0;  // conning tower
    float SEC = 0; // secondary battery
    float T = 0;   // turret faces and sides
    float TT = 0;  // turret roofs
    int TorpedoCalibre = 0;
    std::string TorpedoDesignation = "X";
    // Indexed by gun level 1..3; element 0 is unused so that rules read Calibre[level].
    std::array<int, 4> Calibre{};
    std::array<int, 4> GunQuality{};
    std::vector<TFightingTurret> Turrets;
    std::vector<TFightingTorpedoMount> TorpedoMounts;
    int SecNo = 0;
    int TerNo = 0;
    int SecTF = 0;
    int TerTF = 0;
    int FireControl = 0;
    int TorpedoDefense = 0;
    // Derived from the turret positions for the ship plan; see ComputeTurretFlags.
    bool NoSuperfiringTurrets = true;
    bool NoCentreTurrets = true;
    bool CentrelineOnly = true;
    bool HasMidshipsAftTurret = false;
    std::array<TFunnel, kFunnelCount> Funnels{};
    std::array<std::array<TOutlinePoint, kOutlinePoints>, kOutlineCount> Superstructure{};
    std::array<bool, kOutlineCount> IsLine{};
    bool Freeboard = true;
    bool CDF = false;
    int Dynamos = 1;
    int MineCapacity = 0;
    TShipType ShipType = TShipType::BB;
    // Drawing size in feet (our own design-file keys); 0 when the file gives none.
    int Length = 0;
    int Beam = 0;

    // Identity of the class, carried by each ship in play.
    std::string Classname;
    std::string EnemyClassName;
    std::string MisidentifiedClassName;
    std::string PictureName;
    int Nation = -1;
    int ObsoleteDate = kNeverObsolete;
    bool HSC = false;
    bool ShowSec = false;
    int Mines = 0;

    // Recomputes the four turret flags from the turret list; call whenever it changes.
    void ComputeTurretFlags();
};

} // namespace tarnwake::designs
