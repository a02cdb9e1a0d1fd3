#include "scenario/Environment.h"

#include "combat/Force.h"
#include "core/Folders.h"
#include "core/GameClock.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/Text.h"
#include "engine/GameWorld.h"
#include "engine/Weather.h"
#include "map/EnvironmentFile.h"
#include "map/GamePresenters.h"
#include "map/Globe.h"
#include "map/GlobeLayer.h"
#include "map/Location.h"
#include "map/PositionText.h"
#include "scenario/SectionReader.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <system_error>

namespace tarnwake::scenario {

namespace {

using engine::TGameWorld;
using map::TGeoPos;
using map::TGlobe;
using map::TGlobeLayer;

constexpr const char* kEnvironment = "Environment";
constexpr const char* kNone = "xxx"; // a land layer or environment file not named
constexpr const char* kNoForce = "Xxxxxx";
constexpr int kYardsPerThousand = 1000;
constexpr int kLastWeatherCode = 7;
constexpr int kDefaultWeather = 3; // "Partly cloudy"
constexpr int kLastWindForce = 13;
constexpr int kLastDegree = 359;
constexpr int kPercent = 100;
// Thousands of yards: past 60 the horizon, not the weather, limits sighting.
constexpr int kMostSightingThousands = 60;
constexpr const char* kLayerEnding = ".LYR";
// The codes the force orders know: missions 0 ordinary, 1 and 2 cautious (2 withdrawing),
// 3 aggressive; kinds 0 and 1 fighting forces, 2 one that avoids action.
constexpr int kLastMission = 3;
constexpr int kLastForceKind = 2;

bool IsZero(const TGeoPos& p) {
    return p.lon == 0 && p.lat == 0;
}

// Thousands of yards as yards, bounded so that no figure in a file can overflow.
int Yards(int thousands) {
    constexpr int kMostThousands = 1'000'000;
    return std::clamp(thousands, 0, kMostThousands) * kYardsPerThousand;
}

std::string Number(int n) {
    return std::to_string(n);
}

// Reads a position key into `target` (left unchanged, with the position message, when the
// text cannot be read).
void ReadPosition(const TSectionReader& reader, const std::string& section, const std::string& key,
                  const std::string& defaultText, const std::string& context,
                  core::IMessages& messages, TGeoPos& target) {
    map::TextToPosition(reader.ReadString(section, key, defaultText),
                        context + " (" + reader.Where(section, key) + ")", true, messages, target);
}

// The chart's layer of a scenario's land-layer name: as written, then with the ".lyr" ending
// the environment file's layers carry, then without an ending the name was given with (the
// layers lose their ending when the chart is set up, and scenarios name them either way).
TGlobeLayer* FindLandLayer(const TGlobe& chart, const std::string& name) {
    if (TGlobeLayer* layer = chart.FindLayer(name)) {
        return layer;
    }
    if (TGlobeLayer* layer = chart.FindLayer(name + ".lyr")) {
        return layer;
    }
    if (core::EndsWithNoCase(name, ".lyr")) {
        return chart.FindLayer(std::string_view(name).substr(0, name.size() - 4));
    }
    return nullptr;
}

// "NorthSea, Shoals": the layers a scenario may name as land, or "none".
std::string LayerNames(const TGlobe& chart) {
    std::string names;
    for (int i = 0; i < chart.LayerCount(); ++i) {
        names += (names.empty() ? "" : ", ") + chart.Layer(i).Name();
    }
    return names.empty() ? "none" : names;
}

// Layers come from the environment file named after their files; the game knows them
// without the ending.
void RenameLayerFiles(TGlobe& chart) {
    for (int i = 0; i < chart.LayerCount(); ++i) {
        TGlobeLayer& layer = chart.Layer(i);
        const std::string& name = layer.Name();
        if (core::ToUpperAscii(name).find(kLayerEnding) != std::string::npos && name.size() > 4 &&
            name.find('.', 1) != std::string::npos) {
            layer.SetName(name.substr(0, name.size() - 4));
        }
    }
}

void SetUpLandLayers(TGameWorld& world, const TSectionReader& reader) {
    TGlobe& chart = world.Chart;
    core::IMessages& messages = world.Messages();

    const std::string name1 = reader.ReadString(kEnvironment, "LandLayer1", kNone);
    TGlobeLayer* land1 = FindLandLayer(chart, name1);
    if (land1 == nullptr) {
        land1 = chart.FindLayer("World");
    }
    if (land1 == nullptr) {
        if (TGlobeLayer* renamed = chart.FindLayer("LandLayer1")) {
            renamed->SetName("World");
            land1 = renamed;
        }
    }
    if (land1 != nullptr) {
        chart.SetLandLayer(1, land1);
    } else {
        chart.SetLandLayer(1, name1);
        // Said once, here, with what the modder can name instead; the minute loop then does
        // not ask again.
        const std::string where = reader.Where(kEnvironment, "LandLayer1");
        messages.Warn("Warning! Land layer 1 not found! " +
                      (name1 == kNone ? where + " is not given and the chart has no layer World"
                                      : where + "=" + name1 + ": the chart has no such layer") +
                      " (its layers: " + LayerNames(chart) +
                      "). Nothing is land: ships sail through the coasts");
        chart.AcceptNoLand();
    }

    engine::SetSeaColour(chart, world.Environment.Weather, world.Preferences.Colours);
    SetLandColour(chart, world.Preferences.Colours.Land);

    const std::string name2 = reader.ReadString(kEnvironment, "LandLayer2", kNone);
    if (name2 != kNone) {
        if (TGlobeLayer* land2 = FindLandLayer(chart, name2)) {
            chart.SetLandLayer(2, land2);
        } else {
            messages.Warn("Land layer 2 not found! " + reader.Where(kEnvironment, "LandLayer2") +
                          "=" + name2 + " (the chart's layers: " + LayerNames(chart) + ")");
        }
    }
    const std::string name3 = reader.ReadString(kEnvironment, "LandLayer3", kNone);
    if (name3 != kNone) {
        if (TGlobeLayer* land3 = FindLandLayer(chart, name3)) {
            chart.SetLandLayer(3, land3);
            // Present but not drawn: every style of the layer draws nothing.
            bool hasUnnamed = false;
            for (map::TGlobePresenter& p : land3->MutablePresenters()) {
                p.pen.style = map::psClear;
                p.brush.style = map::bsClear;
                hasUnnamed = hasUnnamed || p.Name.empty();
            }
            if (!hasUnnamed) {
                map::TGlobePresenter clear;
                clear.pen.style = map::psClear;
                clear.brush.style = map::bsClear;
                const int id = land3->AddPresenter(clear);
                for (map::TGeoDataObject* object : land3->Objects()) {
                    object->SetPresenterID(id);
                }
            }
        } else {
            messages.Warn("Land layer 3 not found! " + reader.Where(kEnvironment, "LandLayer3") +
                          "=" + name3 + " (the chart's layers: " + LayerNames(chart) + ")");
        }
    }
}

void LoadChart(TGameWorld& world, const TSectionReader& reader) {
    const std::string name = reader.ReadString(kEnvironment, "EnvironmentFile", kNone);
    world.Environment.EnvironmentFile = name;
    const core::TGameFolders& folders = world.Folders();
    const std::string fileName = name + ".env";
    // The name comes from the scenario: only a file inside the Scenarios folder is looked up
    // there (any letter case), and the "Custom files" folder is searched by file name alone.
    const auto found = core::FindFileNoCase(folders.ScenariosDir(), fileName);
    const std::filesystem::path shipped = found ? *found : folders.ScenariosDir() / fileName;
    const std::filesystem::path path = folders.WithCustomOverride(shipped);
    std::error_code ec;
    if ((found || path != shipped) && std::filesystem::is_regular_file(path, ec)) {
        map::LoadEnvironmentFile(world.Chart, path, world.Messages());
    } else {
        world.Messages().Error("Cannot find Environment file: " + path.string() + "\n(" +
                               reader.Where(kEnvironment, "EnvironmentFile") + ")");
    }
}

void ReadSides(TGameWorld& world, const TSectionReader& reader) {
    for (int side = 0; side < 2; ++side) {
        const std::string section = "Side" + Number(side);
        engine::TSide& s = world.Sides[static_cast<std::size_t>(side)];
        // Who commands the side and its force level were chosen before loading.
        s.Name = reader.ReadString(section, "Name", "Xxxxxx");
        s.FlagFile = reader.ReadString(section, "FlagFile", "XXX");
        s.ScenarioAccuracy = reader.ReadInteger(section, "ScenarioAccuracy", 0);
        s.UnspecName = reader.ReadString(section, "UnspecName", "");
        s.AlternatePointChance = reader.ReadIntegerInRange(section, "AlternatePointChance", 50, 0,
                                                           kPercent, world.Messages());
        s.Intelligence = reader.ReadInteger(section, "Intelligence", 50);
        s.RepairCapacity = reader.ReadInteger(section, "RepairCapacity", 4);
    }
}

void ReadLocations(TGameWorld& world, const TSectionReader& reader) {
    core::IMessages& messages = world.Messages();
    TGlobeLayer& layer = world.Chart.FindOrCreateLayer("LocationLayer");
    constexpr const char* kSection = "Locations";
    for (int n = 0; n <= kMaxLocationIndex; ++n) {
        const std::string prefix = "Location" + Number(n);
        const int size = reader.ReadInteger(kSection, prefix + "Size", kNoLocationSize);
        if (size >= kNoLocationSize) {
            continue;
        }
        auto& location = layer.Create<map::TLocation>();
        location.Size = size;
        TGeoPos where;
        ReadPosition(reader, kSection, prefix + "Location", "X X", "Location location", messages,
                     where);
        location.SetStoredPoint(where);
        location.SetTitle(reader.ReadString(kSection, prefix + "Name", "Xxxxx"));
        ReadPosition(reader, kSection, prefix + "EntryPoint", "0 0", "Location EntryPoint",
                     messages, location.EntryPoint);
        if (IsZero(location.EntryPoint)) {
            location.EntryPoint = where;
        }
        ReadPosition(reader, kSection, prefix + "ExitNavPoint", "0 0", "Location ExitNavPoint",
                     messages, location.ExitNavPoint);
        ReadPosition(reader, kSection, prefix + "ForceStartPoint", "0 0",
                     "Location ForceStartPoint", messages, location.ForceStartPoint);
        location.Capacity = reader.ReadInteger(kSection, prefix + "Capacity", 0);
        location.BaseValue = reader.ReadInteger(kSection, prefix + "BaseValue", -1);
        location.LabelOnly = reader.ReadBool(kSection, prefix + "LabelOnly", false);
        location.SubmarineBase = reader.ReadBool(kSection, prefix + "SubmarineBase", false);
        location.BaseGroup = reader.ReadInteger(kSection, prefix + "BaseGroup", 0);
        // Size class and label side: 21 is a "Medium" place named on its right.
        if (const auto id = map::LocationPresenter(world.Chart, size / 10, size % 10 != 0,
                                                   location.LabelOnly, messages)) {
            location.SetPresenterID(*id);
        }
    }
}

// The lowest set a force section defines, or -1.
int FirstSetOf(const TSectionReader& reader, const std::string& section) {
    for (int set = 0; set < kWaypointSets; ++set) {
        if (!reader.ReadString(section, "WS" + Number(set) + "Waypoint0LL", "").empty()) {
            return set;
        }
    }
    return -1;
}

void ReadForces(TGameWorld& world, const TSectionReader& reader, const std::array<int, 2>& sets) {
    core::IMessages& messages = world.Messages();
    world.Chart.FindOrCreateLayer("ShipLayer");
    for (int n = 0; n <= kMaxForceIndex; ++n) {
        const std::string section = "Force" + Number(n);
        const std::string name = reader.ReadString(section, "Name", kNoForce);
        if (name == kNoForce) {
            continue;
        }
        // A force belongs to one of the two opponents; neutral shipping forms no force.
        const int side = reader.ReadIntegerOneOf(section, "Side", -1, {0, 1}, messages);
        auto force = std::make_unique<combat::TForce>(name, side);
        combat::TForce& f = *force;
        f.Mission = reader.ReadIntegerInRange(section, "Mission", 0, 0, kLastMission, messages);
        f.Kind = reader.ReadIntegerInRange(section, "Kind", 0, 0, kLastForceKind, messages);
        const std::string what = "Force " + name + " ";
        ReadPosition(reader, section, "Objective", "X X", what + "objective", messages,
                     f.Objective);
        ReadPosition(reader, section, "Home", "0E 0N", what + "home", messages, f.Home);
        ReadPosition(reader, section, "AlternatePoint", "00000E 000000N", what + "alternate point",
                     messages, f.AlternatePoint);
        ReadPosition(reader, section, "StartPoint", "0E 0N", what + "start point", messages,
                     f.StartPoint);
        f.HomeDistance = reader.ReadInteger(section, "HomeDistance", 10);
        f.TimeToRaiseSteam = reader.ReadInteger(section, "TimeToRaiseSteam", 0);
        f.RandomTimeToRaiseSteam = reader.ReadInteger(section, "RandomTimeToRaiseSteam", 0);
        f.AltTimeToRaiseSteam = reader.ReadInteger(section, "AltTimeToRaiseSteam", 0);
        f.AltRandomTimeToRaiseSteam = reader.ReadInteger(section, "AltRandomTimeToRaiseSteam", 0);
        f.AlternateWPIndex = reader.ReadInteger(section, "AlternateWPIndex", -1);
        f.ActivateAlternateOnSighting =
            reader.ReadBool(section, "ActivateAlternateOnSighting", false);
        f.ActivateOnSighting = reader.ReadBool(section, "ActivateOnSighting", false);
        f.HVU = reader.ReadBool(section, "HVU", false);
        f.ReactionAllowed = reader.ReadBool(section, "ReactionAllowed", true);
        f.StartDate = reader.ReadInteger(section, "StartDate", 0);

        // The route: the side's drawn set; a force of neither side reads its own first set.
        const int set = (side == 0 || side == 1) ? sets[static_cast<std::size_t>(side)]
                                                 : FirstSetOf(reader, section);
        if (set >= 0) {
            const std::string prefix = "WS" + Number(set) + "Waypoint";
            for (int k = 0; k <= kMaxWaypointIndex; ++k) {
                const std::string key = prefix + Number(k) + "LL";
                const std::string text = reader.ReadString(section, key, "");
                if (text.empty()) {
                    break;
                }
                TGeoPos point;
                // A waypoint that cannot be read is reported and left out of the route rather
                // than sending the force to 0 N 0 E.
                if (map::TextToPosition(text, what + key, true, messages, point)) {
                    f.Waypoints.push_back(point);
                }
            }
        }
        f.AIControl = reader.ReadBool(section, "AIControl", false);
        f.MainForceName = reader.ReadString(section, "MainForce", "XXX");
        const bool computer = (side == 0 || side == 1)
                                  ? world.Sides[static_cast<std::size_t>(side)].ComputerCommanded
                                  : true;
        f.ComputerCommanded = computer;
        f.PlayerSteered = !computer;
        world.AddForce(std::move(force));
    }
}

} // namespace

std::string WeatherText(int code) {
    static constexpr std::array<const char*, 8> kWeather = {
        "Fog", "Mist", "Clear", "Partly cloudy", "Cloudy", "Overcast", "Light rain", "Heavy rain"};
    if (code < 0 || code >= static_cast<int>(kWeather.size())) {
        return {};
    }
    return kWeather[static_cast<std::size_t>(code)];
}

std::string CompassText(int bearing) {
    static constexpr std::array<const char*, 16> kPoints = {"N",  "NNE", "NE", "ENE", "E",  "ESE",
                                                            "SE", "SSE", "S",  "SSW", "SW", "WSW",
                                                            "W",  "WNW", "NW", "NNW"};
    const auto index = static_cast<int>(core::Round(bearing / 22.5));
    return kPoints[static_cast<std::size_t>(((index % 16) + 16) % 16)];
}

void SetLandColour(TGlobe& chart, core::TColor colour) {
    TGlobeLayer* land = chart.LandLayer(1);
    if (land == nullptr) {
        land = chart.FindLayer("World");
    }
    if (land == nullptr) {
        return;
    }
    if (map::TGlobePresenter* unnamed = land->FindPresenter("")) {
        unnamed->brush.colour = colour;
        unnamed->brush.backColour = colour;
        return;
    }
    map::TGlobePresenter style;
    style.kind = map::TPresenterKind::Polygon;
    style.pen = map::TGlobePen{core::colors::Black, map::psSolid, 1, map::TGlobeUnitTypes::Pixel};
    style.brush = map::TGlobeBrush{colour, colour, map::bsSolid};
    const int id = land->AddPresenter(style);
    for (map::TGeoDataObject* object : land->Objects()) {
        object->SetPresenterID(id);
        object->SetClosed(true);
    }
}

std::array<int, 2> DrawWaypointSets(const TSectionReader& reader, core::TRandomGenerator& random) {
    std::array<std::array<bool, kWaypointSets>, 2> defined{};
    for (int n = 0; n <= kMaxForceIndex; ++n) {
        const std::string section = "Force" + Number(n);
        if (reader.ReadString(section, "Name", kNoForce) == kNoForce) {
            continue;
        }
        const int side = reader.ReadInteger(section, "Side", -1);
        if (side != 0 && side != 1) {
            continue;
        }
        for (int set = 0; set < kWaypointSets; ++set) {
            if (!reader.ReadString(section, "WS" + Number(set) + "Waypoint0LL", "").empty()) {
                defined[static_cast<std::size_t>(side)][static_cast<std::size_t>(set)] = true;
            }
        }
    }
    std::array<int, 2> sets{-1, -1};
    for (std::size_t side = 0; side < 2; ++side) {
        std::vector<int> candidates;
        for (int set = 0; set < kWaypointSets; ++set) {
            if (defined[side][static_cast<std::size_t>(set)]) {
                candidates.push_back(set);
            }
        }
        if (candidates.size() == 1) {
            sets[side] = candidates.front();
        } else if (!candidates.empty()) {
            sets[side] = candidates[static_cast<std::size_t>(
                random.Random(static_cast<int>(candidates.size())))];
        }
    }
    return sets;
}

void LoadEnvironmentalData(TGameWorld& world, const TSectionReader& reader) {
    core::IMessages& messages = world.Messages();
    try {
        // 1. The routes the sides' forces will follow in this game.
        const std::array<int, 2> sets = DrawWaypointSets(reader, world.Random());

        // 2. Weather and sighting.
        engine::TEnvironmentState& env = world.Environment;
        env.DaySightingDistance = Yards(reader.ReadIntegerInRange(
            kEnvironment, "DaySightingDistance", 22, 0, kMostSightingThousands, messages));
        env.NightSightingDistance = Yards(reader.ReadIntegerInRange(
            kEnvironment, "NightSightingDistance", 10, 0, kMostSightingThousands, messages));
        env.Variation = std::clamp(reader.ReadInteger(kEnvironment, "Variation", 0), -1, 1);
        env.Bias = reader.ReadInteger(kEnvironment, "Bias", 0);
        env.MorningMist =
            reader.ReadIntegerInRange(kEnvironment, "MorningMist", 0, 0, kPercent, messages);
        // The weather tables know eight kinds of weather.
        env.Weather = reader.ReadIntegerInRange(kEnvironment, "Precipitation", kDefaultWeather, 0,
                                                kLastWeatherCode, messages);
        for (int side = 0; side < 2; ++side) {
            env.PlayerStartpos[static_cast<std::size_t>(side)] =
                reader.ReadInteger(kEnvironment, "PlayerStartpos" + Number(side), 0) == 1;
        }
        env.DayRange = env.DaySightingDistance;
        env.NightRange = env.NightSightingDistance;

        // 3-7. The chart.
        LoadChart(world, reader);
        RenameLayerFiles(world.Chart);
        SetUpLandLayers(world, reader);

        // 8. The rest of the environment and the clock.
        env.NoOrdersBS = reader.ReadBool(kEnvironment, "NoOrdersBS", false);
        env.Squalls = reader.ReadBool(kEnvironment, "Squalls", false);
        env.WindDirection =
            reader.ReadIntegerInRange(kEnvironment, "WindDirection", 0, 0, kLastDegree, messages);
        env.Windspeed = reader.ReadInteger(kEnvironment, "Windspeed", 0);
        env.SeaState =
            reader.ReadIntegerInRange(kEnvironment, "SeaState", 0, 0, kLastWindForce, messages);
        env.WindForce = env.SeaState;
        const int day = reader.ReadInteger(kEnvironment, "Day", 1);
        const int year = reader.ReadInteger(kEnvironment, "Year", 14);
        const int month = reader.ReadInteger(kEnvironment, "Month", 11);
        const int hour = reader.ReadInteger(kEnvironment, "Hour", 6);
        const int minute = reader.ReadInteger(kEnvironment, "Minute", 5);
        world.Length = reader.ReadInteger(kEnvironment, "Length", 240);
        env.EndDate = reader.ReadInteger(kEnvironment, "EndDate", 0);
        core::TDateTime clock = 0.0;
        if (core::TryEncodeDateTime({year, month, day, hour, minute, 0}, clock)) {
            world.Clock = clock;
        } else {
            // A date that does not exist must not cost the sides, places and forces below.
            messages.Warn("Warning! Scenario start date is not a date: " + Number(year) + "-" +
                          Number(month) + "-" + Number(day) + " " + Number(hour) + ":" +
                          Number(minute));
        }
        env.FirstSighting = {};

        // 9-11. Sides, places and forces.
        world.Chart.FindOrCreateLayer("ShipLayer");
        ReadSides(world, reader);
        ReadLocations(world, reader);
        ReadForces(world, reader, sets);
    } catch (const std::exception& e) {
        messages.Error(core::ProcedureErrorText("LoadEnvironmentalData", reader.Name(), e.what()));
    }
}

} // namespace tarnwake::scenario
