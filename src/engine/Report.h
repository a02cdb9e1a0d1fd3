#pragma once

#include "combat/FightingShip.h"
#include "core/EntityId.h"
#include "core/GameClock.h"
#include "designs/ShipTypes.h"
#include "map/GeoDataObject.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace tarnwake::engine {

using TReportId = core::TEntityId<struct TReportTag>;

// The kinds of ship a contact report counts, in the order its text names them. Destroyers
// and minesweepers are both "DD" to a lookout; armed merchant cruisers and seaplane carriers
// are merchant hulls, reported with the transports.
enum TReportedKind : int { rkBB, rkBC, rkB, rkCA, rkCL, rkDD, rkTR };
inline constexpr int kReportedKinds = 7;
using TComposition = std::array<int, kReportedKinds>;

// The kind a ship of this type is reported as; none for a land target.
std::optional<int> ReportedKindOf(designs::TShipType type);

// A contact report: an enemy division's composition, course and position as one ship (later
// also a search area or a submarine) signalled it, available to its side from the delivery
// minute on. The world owns it. A player's report has its marker on the ship layer, hidden
// until the report arrives; the computer's are never drawn.
class TReport {
public:
    explicit TReport(map::TGlobeLayer* layer)
        : Marker(std::make_unique<map::TGeoDataObject>(layer)) {}

    TReportId Id;
    std::unique_ptr<map::TGeoDataObject> Marker;

    combat::TShipId Reporter; // the ship that made it
    std::string ReporterName;
    int Side = 0; // the side it was made for
    // Where the reported division's flagship was, and the course it was reported on (0: no
    // course given).
    map::TGeoPos ReportedPosition;
    int Course = 0;
    int Bearing = 0;     // from the reporting ship to the reported one
    int Delivery = 0;    // the minute (TimeElapsed) from which the side has it
    int MinuteStamp = 0; // the minute it was made
    core::TDateTime Clock = 0.0;
    TComposition Composition{};
    // The computer has been to the reported position and found what there was to find.
    bool Checked = false;
    // A player's report has reached its side: the minute of its delivery has passed.
    bool Arrived = false;

    bool Delivered(int now) const { return Delivery <= now; }
    // " 2 BC 1 CL Course 135": each kind counted, then the course when one is given.
    std::string Text() const;
    // The text and the time it was made: " 2 BC Course 135 14:20".
    std::string Title() const;
    // "14:20 Southampton - 2 BC Course 135", as the player's list of reports shows it.
    std::string ListText() const;
};

} // namespace tarnwake::engine
