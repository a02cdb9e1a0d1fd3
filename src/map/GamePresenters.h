#pragma once

#include "core/Colour.h"

#include <optional>
#include <string>

namespace tarnwake::core {
class IMessages;
}

namespace tarnwake::map {

class TGlobe;
class TGlobeLayer;

// The drawing styles the game creates, each made once per name in its layer and looked up
// by name afterwards. Each function answers the style's PresenterID, or nothing when the
// layer it belongs to is missing (reported: "Error finding ship layer!" or "Error finding
// location layer!"), in which case the object keeps the style it had.

// Colours as the game draws its sides.
inline constexpr core::TColor kGreyColour = 8'421'504;
inline constexpr core::TColor kSilverColour = 12'632'256;

// A ship's outline: "SmallShipPresenter"+n for ship types 6-7 (destroyers, minesweepers),
// "MediumShipPresenter"+n for 3-5 (cruisers), "LargeShipPresenter"+n for the rest; filled
// with `colour` (the nation's colour number n), except that small ships are grey unless
// the player asked for destroyers in national colours (`applyToDD`).
std::optional<int> ShipPresenter(TGlobe& globe, int shipType, int colourIndex, core::TColor colour,
                                 bool applyToDD, core::IMessages& messages);
// "MediumShipPresenter9": a ship the other side has not identified, grey.
std::optional<int> UnidentifiedShipPresenter(TGlobe& globe, core::IMessages& messages);
// A division's flag: red for side 0, blue for side 1, green for neutrals (3). Any other side
// shows "Warning: Setting Divisional Flag Presenter. Illegal side " and the code.
std::optional<int> FlagPresenter(TGlobe& globe, int side, core::IMessages& messages);
// A division's track, "TrackPresenterRed"+w for side 0 and "TrackPresenterBlue"+w for the
// others; w is 3 for battleship types (0-2), 2 for cruisers (3-5), 1 for smaller ships.
std::optional<int> TrackPresenter(TGlobe& globe, int side, int divisionShipType,
                                  core::IMessages& messages);
// A contact report: red for side 0, blue for the other.
std::optional<int> ReportPresenter(TGlobe& globe, int side, core::IMessages& messages);
std::optional<int> ZoomedPresenter(TGlobe& globe, core::IMessages& messages);
std::optional<int> NewWakePresenter(TGlobe& globe, core::IMessages& messages);
// A course or plan line of the caller's name and colour: dotted, 6 metres wide.
std::optional<int> LinePresenter(TGlobe& globe, const std::string& name, core::TColor colour,
                                 core::IMessages& messages);

// A minefield in its own layer: "MinePresenter"+side+"OwnMinefields" or "EnemyMinefields",
// hatched red or blue: own minefields in the side's colour (red 0, blue 1), others in the
// opposing colour.
int MinefieldPresenter(TGlobeLayer& layer, int side, bool ownMark);
// A search area in its own layer: black outline, green hatch.
int SearchAreaPresenter(TGlobeLayer& layer);

// A location of size class `sizeClass` (0 label, 1 small ... 6 the largest), with its name
// on the right or the left: "Small Right", "EELarge Left" ... A label-only location has no
// point, a grey pen and an italic grey title.
std::optional<int> LocationPresenter(TGlobe& globe, int sizeClass, bool labelRight, bool labelOnly,
                                     core::IMessages& messages);

// The cross marking a picked point, in "CrossLayer" (created when missing).
int CrossPresenter(TGlobe& globe);

} // namespace tarnwake::map
