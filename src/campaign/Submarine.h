#pragma once

#include "map/GeoPos.h"

#include <climits>
#include <string>

namespace tarnwake::campaign {

// Down time that marks a submarine as lost.
inline constexpr int kSubmarineLost = INT_MAX;

// A submarine of a campaign scenario. It is not a ship on the chart: a position with a side,
// a readiness and a fate. The scenario loader fills it; the submarine rules give it play.
struct TSubmarine {
    int Side = -1;
    int Availability = -1; // readiness chance in percent
    bool InPlay = false;
    double Reinforcement = 0.0;
    int Downtime = 0; // minutes away; kSubmarineLost when lost
    std::string Name = "No name";
    map::TGeoPos Location;
    map::TGeoPos OriginalLocation;
    int Accuracy = 0;       // skill: shifts its encounter rolls
    int RandomDistance = 0; // thousands of yards
    int RandomAngle = 0;    // degrees; 0 for any bearing
    std::string Fate;
    int TorpsFired = 0;
    int SubType = 0; // 1 minelayer, 2 few torpedoes, others ordinary

    // How messages name it.
    std::string Description() const { return Name; }
};

} // namespace tarnwake::campaign
