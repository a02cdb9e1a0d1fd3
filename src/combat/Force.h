#pragma once

#include <string>
#include <vector>

namespace tarnwake::combat {

class TDivision;
class TFightingShip;

// A force: divisions under one mission, home and route. It refers to its divisions; the world
// owns them.
class TForce {
public:
    TForce(std::string name, int side) : Name(std::move(name)), Side(side) {}

    std::string Name;
    int Side = -1;
    std::vector<TDivision*> Divisions;
    bool ComputerCommanded = false;
    bool PlayerSteered = true;
    int Mission = 0;
    int Kind = 0;
    int HomeDistance = 10;
    int TimeToRaiseSteam = 0;
    int RandomTimeToRaiseSteam = 0;
    int AltTimeToRaiseSteam = 0;
    int AltRandomTimeToRaiseSteam = 0;
    int AlternateWPIndex = -1;
    bool ActivateAlternateOnSighting = false;
    bool ActivateOnSighting = false;
    bool HVU = false;
    bool ReactionAllowed = true;
    int StartDate = 0;
    bool AIControl = false;
    TForce* MainForce = nullptr;
    int Morale = 0;
    // Force orders.
    int WithdrawalLevel = 0;
    bool Rallied = false;
    bool FlotillaAttack = false;
    bool HasChangedLead = false;
    int TimeToTurnAway = 0;
    int FlotillaAttackCount = 0;
    int StationCounter = 0;

    // The division that carries the force's flag, by the first rule that finds one:
    //  1. an Independent division with ships, not held by the computer, led by a warship
    //     (anything up to an armed merchant cruiser);
    //  2. an Independent division with ships, not held by the computer;
    //  3. any division with ships.
    // It gets the flag-division mark and its flagship becomes the cached force flagship.
    TDivision* FlagDivision();
    TFightingShip* ForceFlagship();
    TFightingShip* CachedFlagship() const { return flagship_; }

private:
    TFightingShip* flagship_ = nullptr;
};

} // namespace tarnwake::combat
