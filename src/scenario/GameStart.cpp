#include "scenario/GameStart.h"

#include "ai/ComputerOpponent.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/Digest.h"
#include "engine/GameWorld.h"
#include "engine/Replay.h"
#include "engine/Sighting.h"
#include "engine/Weather.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "scenario/Environment.h"
#include "scenario/Placement.h"
#include "scenario/ScenarioLoader.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace tarnwake::scenario {

namespace {

using combat::TDivision;
using combat::TFightingShip;
using combat::TForce;
using designs::TShipType;
using engine::TGameWorld;
using map::AddBearing;
using map::MovePoint;
using map::TGeoPos;

// How far ahead of a force-steered division its move marker stands, and how far aside at
// most.
constexpr int kMarkerAheadYards = 15000;
constexpr int kMarkerAsideYards = 1500;

bool IsZero(const TGeoPos& p) {
    return p.lon == 0 && p.lat == 0;
}

bool IsLandTarget(const TFightingShip* ship) {
    return ship != nullptr && ship->ShipType == TShipType::LT;
}

// Neither opponent commands a side that is not 0 or 1: the computer steers it.
bool ComputerCommands(const TGameWorld& world, int side) {
    if (side == 0 || side == 1) {
        return world.Sides[static_cast<std::size_t>(side)].ComputerCommanded;
    }
    return true;
}

void Shift(TGameWorld& world, TDivision& division, int bearing, int yards) {
    if (const TFightingShip* flag = division.Flagship()) {
        MoveDivisionTo(world, division, MovePoint(flag->Position(), bearing, yards));
    }
}

// The random start displacement of a division, carrying along every division that follows it,
// however long the chain: a battle line of six divisions moves as one, not only its first
// three.
void DisplaceDivision(TGameWorld& world, TDivision& division) {
    TFightingShip* flag = division.Flagship();
    if (division.RandomDistance == 0 || flag == nullptr) {
        return;
    }
    core::TRandomGenerator& random = world.Random();
    const TGeoPos from = flag->Position();
    for (int draw = 0; draw < kDivisionPlacementDraws; ++draw) {
        const int yards = random.Random(DisplacementYards(division.RandomDistance));
        const int bearing = DisplacementBearing(division.RandomAngle, random);
        const TGeoPos point = MovePoint(from, bearing, yards);
        if (world.Chart.IsBlocked(point, flag)) {
            continue;
        }
        if (division.Role == combat::rolePatrol) {
            division.Objective = point;
        }
        std::set<const TDivision*> moved{&division};
        MoveDivisionTo(world, division, point);
        std::vector<TDivision*> followers;
        for (const auto& d : world.Divisions) {
            if (d->LeadDiv == &division && moved.insert(d.get()).second) {
                followers.push_back(d.get());
            }
        }
        for (std::size_t i = 0; i < followers.size(); ++i) {
            for (const auto& d : world.Divisions) {
                if (d->LeadDiv == followers[i] && moved.insert(d.get()).second) {
                    followers.push_back(d.get());
                }
            }
        }
        for (TDivision* d : followers) {
            Shift(world, *d, bearing, yards);
        }
        return;
    }
    world.Messages().Warn(
        "Warning! Cannot reposition division without putting it on land!\nDivision: " +
        division.DivisionName);
}

void TurnNeutral(TDivision& division, core::TRandomGenerator& random) {
    const int r = random.Random(100);
    const int turn = r < 31 ? 10 : (r < 61 ? -10 : 0);
    if (turn == 0) {
        return;
    }
    division.Course = AddBearing(division.Course, turn);
    for (TFightingShip* ship : division.Ships) {
        if (!IsLandTarget(ship)) {
            ship->SetCourse(division.Course);
            ship->OrderedCourse = division.Course;
        }
    }
}

void RaiseSteamTimes(TGameWorld& world, TDivision& division) {
    if (!division.IsNeutral()) {
        division.TimeToRaiseSteam += world.Random().Random(division.RandomTimeToRaiseSteam);
        if (division.Force != nullptr && division.Force->TimeToRaiseSteam > 0) {
            division.TimeToRaiseSteam = division.Force->TimeToRaiseSteam;
        }
    }
    for (TFightingShip* ship : division.Ships) {
        ship->TimeToRaiseSteam = division.TimeToRaiseSteam;
    }
}

// A division of the player's side whose force the computer steers follows the force's
// orders; its marker stands ahead of it.
void HandOverToForce(TGameWorld& world, TDivision& division) {
    division.ReportsBySignal = true;
    division.AIControl = true;
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr) {
        world.Messages().Warn("Warning! Division: " + division.DivisionName + " has no ships!");
        return;
    }
    if (IsLandTarget(flag)) {
        division.MarkerPoint = flag->Position();
        return;
    }
    const int aside = world.Random().Random(2 * kMarkerAsideYards + 1) - kMarkerAsideYards;
    const TGeoPos ahead = MovePoint(flag->Position(), flag->Course(), kMarkerAheadYards);
    division.MarkerPoint = MovePoint(ahead, AddBearing(flag->Course(), 90), aside);
}

void PlaceForce(TGameWorld& world, TForce& force) {
    core::TRandomGenerator& random = world.Random();
    for (TDivision* d : force.Divisions) {
        if (d->LeadDiv == nullptr) {
            d->Role = combat::roleIndependent;
        }
    }
    const auto warship = [](const TDivision* d) {
        return d->HasShips() && !IsLandTarget(d->Flagship());
    };
    TDivision* flagDivision = nullptr;
    for (TDivision* d : force.Divisions) {
        if (d->Role == combat::roleIndependent && warship(d)) {
            flagDivision = d;
            break;
        }
    }
    if (flagDivision == nullptr) {
        for (TDivision* d : force.Divisions) {
            if (warship(d)) {
                flagDivision = d;
                break;
            }
        }
    }
    if (flagDivision == nullptr) {
        world.Messages().Warn("Cannot determine force flag division!");
        return;
    }
    PlaceShipsInFormation(world, *flagDivision);
    const TFightingShip& flagship = *flagDivision->Flagship();
    // Twice: a division's station may depend on a lead placed later in the first round.
    for (int round = 0; round < 2; ++round) {
        int c = 0;
        for (TDivision* d : force.Divisions) {
            if (d == flagDivision || !warship(d)) {
                continue;
            }
            d->Objective = TGeoPos{};
            d->Course = flagDivision->Course;
            PlaceShipsInFormation(world, *d);
            if (d->Role == combat::roleIndependent) {
                if (d->LeadDiv == nullptr) {
                    continue;
                }
                ++c;
                const TShipType type = d->Flagship()->ShipType;
                TGeoPos point;
                if (type == TShipType::BC || type == TShipType::CA || type == TShipType::CL) {
                    // Cruisers spread out ahead of the fleet.
                    const int yards = 15000 + 5000 * c + random.Random(10000);
                    const int bearing = AddBearing(flagDivision->Course, random.Random(30) - 15);
                    point = MovePoint(flagship.Position(), bearing, yards);
                } else {
                    const int yards = 10000 + 5000 * c + random.Random(12000);
                    point = MovePoint(flagship.Position(), AddBearing(flagDivision->Course, 190),
                                      yards);
                }
                MoveDivisionTo(world, *d, point);
            } else if (d->LeadDiv != nullptr) {
                MoveToStation(world, *d);
            }
        }
    }
}

} // namespace

void DecideDivisionAIControl(TGameWorld& world, TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (ComputerCommands(world, division.Side) || IsLandTarget(flag)) {
        division.AIControl = true;
        return;
    }
    if (division.Force != nullptr && division.Force->AIControl) {
        return;
    }
    if (division.IsNeutral()) {
        division.AIControl = true;
        return;
    }
    if (division.Force != nullptr && division.FlagDivisionMark) {
        division.AIControl = false;
        return;
    }
    if (flag == nullptr) {
        return;
    }
    const bool led = division.LeadDiv != nullptr;
    const TShipType t = flag->ShipType;
    switch (world.Preferences.InitialAIControl) {
    case engine::aiAllSubordinates:
        division.AIControl = led;
        break;
    case engine::aiCruisersAndDestroyers:
        division.AIControl = led && (t == TShipType::CA || t == TShipType::CL ||
                                     t == TShipType::DD || t == TShipType::MS);
        break;
    case engine::aiDestroyers:
        division.AIControl = led && t == TShipType::DD;
        break;
    default:
        break;
    }
}

void SetDivisionAIControl(TGameWorld& world, bool savedGame) {
    core::IMessages& messages = world.Messages();
    for (const auto& f : world.Forces) {
        core::RunGuarded(messages, "SetDivisionAIControl", f->Name, [&] {
            const bool computer = ComputerCommands(world, f->Side);
            f->PlayerSteered = !computer;
            f->ComputerCommanded = computer;
            if (computer) {
                f->AIControl = true;
            }
            if (!savedGame) {
                f->TimeToRaiseSteam += world.Random().Random(f->RandomTimeToRaiseSteam);
            }
        });
    }
    if (!savedGame) {
        for (std::size_t i = 0; i < world.Divisions.size(); ++i) {
            TDivision& d = *world.Divisions[i];
            core::RunGuarded(messages, "SetDivisionAIControl", d.DivisionName, [&] {
                DisplaceDivision(world, d);
                if (d.IsNeutral()) {
                    TurnNeutral(d, world.Random());
                }
                RaiseSteamTimes(world, d);
            });
        }
    }
    for (std::size_t i = 0; i < world.Divisions.size(); ++i) {
        TDivision& d = *world.Divisions[i];
        core::RunGuarded(messages, "SetDivisionAIControl", d.DivisionName, [&] {
            DecideDivisionAIControl(world, d);
            // The scenario read who commands each force before the sides were given out: a
            // force the computer now commands is no longer the player's.
            for (TFightingShip* ship : d.Ships) {
                ship->PlayerCommanded = d.Force != nullptr && !d.Force->AIControl;
            }
            if (d.Role == combat::roleIndependent) {
                d.LeadDiv = nullptr;
            }
            if (d.Side == world.PlayerSide && d.Force != nullptr && d.Force->AIControl) {
                HandOverToForce(world, d);
            }
        });
    }
}

void PlaceForcesAtAlternatePoints(TGameWorld& world, int side, bool forced) {
    if (side != 0 && side != 1) {
        return;
    }
    const int draw = world.Random().Random(100);
    if (!forced && draw >= world.Sides[static_cast<std::size_t>(side)].AlternatePointChance) {
        return;
    }
    for (std::size_t i = 0; i < world.Forces.size(); ++i) {
        TForce& force = *world.Forces[i];
        if (force.Side != side || IsZero(force.AlternatePoint)) {
            continue;
        }
        core::RunGuarded(world.Messages(), "PlaceForcesAtAlternatePoints", force.Name, [&] {
            force.TimeToRaiseSteam = force.AltTimeToRaiseSteam;
            force.RandomTimeToRaiseSteam = force.AltRandomTimeToRaiseSteam;
            force.ActivateOnSighting = force.ActivateAlternateOnSighting;
            for (TDivision* d : force.Divisions) {
                if (d->Role == combat::roleIndependent) {
                    MoveDivisionTo(world, *d, force.AlternatePoint);
                    break;
                }
            }
            PlaceForce(world, force);
        });
    }
}

std::optional<std::filesystem::path> FindScenario(const core::TGameFolders& folders,
                                                  const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto isFile = [&ec](const fs::path& p) { return fs::is_regular_file(p, ec); };
    const fs::path given(name);
    if (name.empty()) {
        return std::nullopt;
    }
    if (given.is_absolute()) {
        return isFile(given) ? std::optional(given) : std::nullopt;
    }
    for (const std::string& candidate : {name, "Scenarios/" + name}) {
        if (auto shipped = folders.FindGameFile(candidate); shipped && isFile(*shipped)) {
            return folders.WithCustomOverride(*shipped);
        }
    }
    // A modder's own scenario sits in Custom Files, whatever folder the name gives.
    const fs::path custom = folders.CustomFilesDir() / given.filename();
    if (isFile(custom)) {
        return custom;
    }
    return isFile(given) ? std::optional(given) : std::nullopt;
}

std::string NoScenarioReason(const core::TGameFolders& folders, const std::string& name) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folders.DesignsDir(), ec)) {
        return "The game folder " + folders.GameDir().string() +
               " is missing or has no Designs folder: there is nothing to play (name the "
               "folder of the game's data with --game-dir DIR or TARNWAKE_GAME_DIR)";
    }
    if (core::ListFilesWithExtension(folders.ScenariosDir(), ".nsc").empty() &&
        core::ListFilesWithExtension(folders.CustomFilesDir(), ".nsc").empty()) {
        return "The game folder " + folders.GameDir().string() +
               " has no scenarios (Scenarios/*.nsc), nor has the user folder (Custom "
               "Files/*.nsc)";
    }
    return "Cannot find scenario file: " + name;
}

bool StartGame(TGameWorld& world, const std::filesystem::path& scenarioFile,
               const TSideChoices& sides, ILoadProgress* progress) {
    TGameSetup setup;
    setup.ScenarioName = scenarioFile.string();
    setup.ScenarioFile = scenarioFile;
    setup.Sides = sides;
    setup.Seed = world.SeedValue();
    setup.RealismSetting = world.Preferences.RealismSetting;
    setup.InitialAIControl = world.Preferences.InitialAIControl;
    return StartGame(world, setup, progress);
}

std::optional<TGameSetup> SetupOfReplay(const core::TGameFolders& folders,
                                        const engine::TReplay& replay, std::string& error) {
    const auto file = FindScenario(folders, replay.Scenario);
    if (!file) {
        error = NoScenarioReason(folders, replay.Scenario);
        return std::nullopt;
    }
    TGameSetup setup;
    setup.ScenarioName = replay.Scenario;
    setup.ScenarioFile = *file;
    setup.Sides.ComputerCommanded = {replay.Side != 0, replay.Side != 1};
    setup.Sides.ForceLevel = replay.ForceLevels;
    setup.Seed = replay.Seed;
    setup.RealismSetting = replay.RealismSetting;
    setup.InitialAIControl = replay.InitialAIControl;
    return setup;
}

engine::TReplay ReplayOfGame(const TGameWorld& world, const TGameSetup& setup) {
    engine::TReplay replay;
    replay.Scenario = setup.ScenarioName;
    replay.Side = world.PlayerSide;
    replay.ForceLevels = setup.Sides.ForceLevel;
    replay.Seed = setup.Seed;
    replay.RealismSetting = setup.RealismSetting;
    replay.InitialAIControl = setup.InitialAIControl;
    replay.Minutes = world.TimeElapsed;
    if (world.SubStepsLeft == 0) {
        replay.Digest = engine::StateDigest(world);
    }
    replay.Journal = world.Journal.Entries();
    return replay;
}

namespace {

// A game start whose design files are read through `designs`.
bool StartGameWith(TGameWorld& world, const TGameSetup& setup, ILoadProgress* progress,
                   TDesignCache& designs) {
    const std::filesystem::path& scenarioFile = setup.ScenarioFile;
    const TSideChoices& sides = setup.Sides;
    const TScenarioData* data = setup.Data;
    world.Clear();
    world.Seed(setup.Seed);
    world.InstallOpponent(std::make_unique<ai::TComputerOpponent>(setup.AITrace));
    world.Preferences.RealismSetting = setup.RealismSetting;
    world.Preferences.InitialAIControl = setup.InitialAIControl;
    if (data != nullptr) {
        world.WeaponTables = data->WeaponTables;
    } else {
        world.WeaponTables.Load(world.Folders().GameDir(), world.Messages());
    }
    for (std::size_t s = 0; s < 2; ++s) {
        world.Sides[s].ComputerCommanded = sides.ComputerCommanded[s];
        world.Sides[s].ForceLevel = sides.ForceLevel[s];
    }
    world.TimeElapsed = 0;
    const bool loaded = data != nullptr ? LoadScenario(world, data->Scenario, progress, &designs)
                                        : LoadScenario(world, scenarioFile, progress, &designs);
    if (!loaded) {
        return false;
    }
    if (world.Ships.empty()) {
        // A battle without ships would end in its first minute with no reason given.
        world.Messages().Error(scenarioFile.string() +
                               ": no ship takes part (no [Division#] section names a "
                               "DivisionName, or none of its ships could be made): the "
                               "scenario cannot be played and the game does not start");
        return false;
    }
    world.TimeElapsed = 0;
    world.Environment.FirstSighting = {};
    if (data != nullptr) {
        world.Nations = data->Nations;
    } else {
        world.Nations.Load(world.Folders().DataDir(), world.ScenarioYear(), world.Messages());
    }

    const bool computer0 = world.Sides[0].ComputerCommanded;
    const bool computer1 = world.Sides[1].ComputerCommanded;
    world.PlayerSide = computer0 && computer1 ? 2 : (computer0 ? 1 : 0);
    if (world.PlayerSide != 2 &&
        world.Environment.PlayerStartpos[static_cast<std::size_t>(world.PlayerSide)]) {
        PlaceForcesAtAlternatePoints(world, world.PlayerSide, true);
    }
    for (int side = 0; side < 2; ++side) {
        if (world.Sides[static_cast<std::size_t>(side)].ComputerCommanded) {
            PlaceForcesAtAlternatePoints(world, side, false);
        }
    }
    for (const auto& ship : world.Ships) {
        ship->SetAmmoAllowance(world.Random(), world.NationOf(*ship).CLSmokeFloats);
    }
    SetDivisionAIControl(world, false);
    engine::SetSeaColour(world.Chart, world.Environment.Weather, world.Preferences.Colours);
    // Before the first lookout the player knows nothing of the enemy.
    engine::RefreshShipMarkers(world);
    return true;
}

} // namespace

bool StartGame(TGameWorld& world, const TGameSetup& setup, ILoadProgress* progress) {
    TDesignCache designs(setup.Data != nullptr ? &setup.Data->Designs : nullptr);
    return StartGameWith(world, setup, progress, designs);
}

std::unique_ptr<TScenarioData> LoadScenarioData(const core::TGameFolders& folders,
                                                const TGameSetup& setup,
                                                core::IMessages& messages) {
    auto data = std::make_unique<TScenarioData>();
    data->ScenarioFile = setup.ScenarioFile;
    core::TSilentSound sound;
    TGameWorld probe(messages, sound, folders);
    probe.Preferences.AutosaveMinutes = 0;
    TGameSetup first = setup;
    first.Data = nullptr;
    if (!StartGameWith(probe, first, nullptr, data->Designs)) {
        return nullptr;
    }
    // The probe has read the file and shown what it had to say of it.
    data->Scenario = TSectionReader::FromFile(setup.ScenarioFile);
    data->WeaponTables = probe.WeaponTables;
    data->Nations = probe.Nations;
    return data;
}

} // namespace tarnwake::scenario
