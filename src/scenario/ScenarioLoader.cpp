#include "scenario/ScenarioLoader.h"

#include "campaign/Minefield.h"
#include "campaign/SearchArea.h"
#include "campaign/Submarine.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Folders.h"
#include "core/GameClock.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Text.h"
#include "designs/NationsTable.h"
#include "engine/GameWorld.h"
#include "engine/Objective.h"
#include "engine/Tracks.h"
#include "map/GamePresenters.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "map/GlobeLayer.h"
#include "map/PositionText.h"
#include "scenario/Environment.h"
#include "scenario/GameStart.h"
#include "scenario/LoadProgress.h"
#include "scenario/Placement.h"
#include "scenario/SectionReader.h"

#include <algorithm>
#include <stdexcept>

namespace tarnwake::scenario {

namespace {

using combat::TDivision;
using combat::TFightingShip;
using combat::TForce;
using engine::TGameWorld;
using map::TGeoPos;

constexpr const char* kNoDivision = "XX";
constexpr const char* kNoShip = "XX";
constexpr const char* kNoLead = "XXX";
constexpr int kNeutralSide = 3;
constexpr int kDefaultShipCount = 100;
constexpr int kDefaultCourse = 12;
constexpr int kDefaultSpeed = 12;
// The ranges a modder's figures are held to; outside them a figure is refused, not bent.
constexpr int kLastDegree = 359;
constexpr int kMostKnots = 40;          // no ship of the era made 40 knots
constexpr int kMostDisplacement = 1000; // thousands of yards: 500 nautical miles
constexpr int kMostMinutes = 99999;     // 9999 is how scenarios keep a division in harbour
constexpr int kMostMines = 10000;
constexpr int kPercent = 100;
// Crews from raw reservists to a picked crew: each step is worth a tenth in gunnery.
constexpr int kBestCrew = 3;

std::string Number(int n) {
    return std::to_string(n);
}

// The force level a division's side plays at. Divisions of a side that is neither opponent
// (nor neutral) are reported when their flag is made; they are selected as "Variable".
int ForceLevelOf(const TGameWorld& world, int side) {
    if (side == 0 || side == 1) {
        return world.Sides[static_cast<std::size_t>(side)].ForceLevel;
    }
    return engine::flVariable;
}

bool InList(const TGameWorld& world, const TDivision* division) {
    return std::any_of(world.Divisions.begin(), world.Divisions.end(),
                       [division](const auto& d) { return d.get() == division; });
}

void ResolveLeads(TGameWorld& world) {
    for (const auto& d : world.Divisions) {
        d->LeadDiv =
            d->LeadDivName == kNoLead ? nullptr : FindDivWithName(world, d->LeadDivName, d->Side);
    }
}

// A dependent division goes when its lead has gone; any other division only loses the lead.
// (Removing a division already clears every reference to it.)
void DependentDivisionPass(TGameWorld& world) {
    for (int i = static_cast<int>(world.Divisions.size()) - 1; i >= 0; --i) {
        TDivision* d = world.Divisions[static_cast<std::size_t>(i)].get();
        if (d->Probability == -1 && (d->LeadDiv == nullptr || !InList(world, d->LeadDiv))) {
            world.RemoveDivision(d);
        } else if (d->LeadDiv != nullptr && !InList(world, d->LeadDiv)) {
            d->LeadDiv = nullptr;
        }
    }
}

void SelectDivisions(TGameWorld& world) {
    core::TRandomGenerator& random = world.Random();
    for (int i = static_cast<int>(world.Divisions.size()) - 1; i >= 0; --i) {
        TDivision* d = world.Divisions[static_cast<std::size_t>(i)].get();
        if (d->IsNeutral()) {
            continue;
        }
        const int p = d->Probability;
        bool remove = false;
        switch (ForceLevelOf(world, d->Side)) {
        case engine::flHistorical:
            remove = !d->Historical;
            break;
        case engine::flMaximum:
            // A division that fails its chance still sails nine times in ten.
            remove = p > 0 && random.Random(100) > p && random.Random(100) > 90;
            break;
        default:
            remove = p > 0 && random.Random(100) > p;
            break;
        }
        if (remove) {
            world.RemoveDivision(d);
        }
    }
}

// Among alternative versions of one division the first that survived selection stays.
void RemoveDuplicateDivisions(TGameWorld& world) {
    for (int i = static_cast<int>(world.Divisions.size()) - 1; i >= 0; --i) {
        TDivision* d = world.Divisions[static_cast<std::size_t>(i)].get();
        const auto same =
            std::count_if(world.Divisions.begin(), world.Divisions.end(), [d](const auto& o) {
                return o->DivisionName == d->DivisionName && o->Side == d->Side;
            });
        if (same > 1) {
            world.RemoveDivision(d);
        }
    }
}

bool ShipTakesPart(const TGameWorld& world, const TDivision& division, int probability,
                   bool historical, core::TRandomGenerator& random) {
    if (division.IsNeutral()) {
        return true;
    }
    switch (ForceLevelOf(world, division.Side)) {
    case engine::flHistorical:
        return historical;
    case engine::flMaximum:
        return probability == 0 || random.Random(100) <= probability || random.Random(100) <= 90;
    default:
        return probability == 0 || random.Random(100) <= probability;
    }
}

bool ShipAlreadyInPlay(const TGameWorld& world, const TFightingShip& ship, int side) {
    for (const auto& d : world.Divisions) {
        for (const TFightingShip* s : d->Ships) {
            if (s->Name == ship.Name && s->Side == side && s->Classname == ship.Classname) {
                return true;
            }
        }
    }
    return false;
}

void PlaceDependentDivisions(TGameWorld& world) {
    for (std::size_t i = 0; i < world.Divisions.size(); ++i) {
        TDivision& d = *world.Divisions[i];
        if (d.Probability != -1 || d.LeadDiv == nullptr || !InList(world, d.LeadDiv) ||
            !d.HasShips() || !d.LeadDiv->HasShips()) {
            continue;
        }
        const double range =
            map::RangeYards(d.Flagship()->Position(), d.LeadDiv->Flagship()->Position());
        if (range > kStationMoveRangeYards) {
            MoveToStation(world, d);
        }
    }
}

// Reads the corners of a polygon ("<prefix>Point<k>LL", k = 0..last) into chain 0, stopping
// at the first absent point; a corner that cannot be read is reported and left out.
void ReadPolygon(const TSectionReader& reader, const std::string& section,
                 const std::string& prefix, int last, core::IMessages& messages,
                 map::TGeoDataObject& object) {
    std::vector<TGeoPos> points;
    for (int k = 0; k <= last; ++k) {
        const std::string key = prefix + "Point" + Number(k) + "LL";
        const std::string text = reader.ReadString(section, key, "");
        if (text.empty()) {
            break;
        }
        TGeoPos p;
        if (map::TextToPosition(text, reader.Where(section, key), true, messages, p)) {
            points.push_back(p);
        }
    }
    object.SetChainPoints(0, std::move(points));
    object.SetClosed(true);
}

class TLoader {
public:
    TLoader(TGameWorld& world, const TSectionReader& reader, ILoadProgress* progress,
            TDesignCache& designs)
        : world_(world), reader_(reader), progress_(progress), designs_(designs) {}

    void Run() {
        core::IMessages& messages = world_.Messages();
        try {
            world_.Chart.ClearLayers();
            LoadEnvironmentalData(world_, reader_);
            const int shipCount =
                reader_.ReadInteger("Environment", "ShipCount", kDefaultShipCount);
            if (progress_ != nullptr) {
                progress_->Show(shipCount);
            }
            ReadDivisions();
            ResolveLeads(world_);
            for (const auto& f : world_.Forces) {
                f->MainForce = f->MainForceName == kNoLead
                                   ? nullptr
                                   : FindForceWithName(world_, f->MainForceName);
            }
            SelectDivisions(world_);
            ResolveLeads(world_);
            DependentDivisionPass(world_);
            DependentDivisionPass(world_);
            RemoveDuplicateDivisions(world_);
            DependentDivisionPass(world_);
            TakeToSea();
            PlaceDependentDivisions(world_);
            ReportShipsOnLand();
            ReportRolesNotAllowed();
            CheckDivisionRoles(world_, false);
            for (const auto& f : world_.Forces) {
                f->FlagDivision();
            }
            LoadMinefields(world_, reader_);
            world_.Chart.FindOrCreateLayer("MineLayer0");
            LoadSearchAreas(world_, reader_);
            LoadObjectives(world_, reader_);
            LoadSubmarines(world_, reader_);
            world_.Chart.ArrangeLayers(false, messages);
            PlaceSubmarines();
        } catch (const std::exception& e) {
            messages.Error(core::ProcedureErrorText("LoadScenario", reader_.Name(), e.what()));
        }
        if (progress_ != nullptr) {
            progress_->Hide();
        }
    }

private:
    void ReadDivisions() {
        for (int n = 0; n <= kMaxDivisionIndex; ++n) {
            const std::string section = "Division" + Number(n);
            const std::string name = reader_.ReadString(section, "DivisionName", kNoDivision);
            if (name == kNoDivision) {
                continue;
            }
            const int side = reader_.ReadIntegerOneOf(section, "Side", 0, {0, 1, kNeutralSide},
                                                      world_.Messages());
            TDivision& d = world_.AddDivision(std::make_unique<TDivision>(name, side));
            d.SectionName = section;
            d.Probability = reader_.ReadIntegerInRange(section, "Probability", 0, -1, kPercent,
                                                       world_.Messages());
            d.Historical = reader_.ReadBool(section, "Historical", false);
            LoadDivisionData(world_, reader_, d);
        }
    }

    // The divisions that take part get their ships, their flags and their forces.
    void TakeToSea() {
        // Loading ships may not change the list, but index it anyway: a reader must never
        // keep an iterator across calls that reach the world.
        for (std::size_t i = 0; i < world_.Divisions.size(); ++i) {
            TDivision& d = *world_.Divisions[i];
            LoadDivisionShips(world_, reader_, d, progress_, &designs_);
            ReportSpeedAboveDesign(d);
            engine::CreateDivisionGraphics(world_, d);
            if (!d.IsNeutral()) {
                if (d.Force != nullptr) {
                    d.Force->Divisions.push_back(&d);
                } else {
                    world_.Messages().Warn("Warning! Division: " + d.DivisionName +
                                           " belongs to no force! (" +
                                           reader_.WhereGiven(d.SectionName, "Force") + ")");
                }
            }
            DecideDivisionAIControl(world_, d);
        }
    }

    void PlaceSubmarines() {
        core::TRandomGenerator& random = world_.Random();
        for (const auto& sub : world_.Submarines) {
            if (sub->RandomDistance == 0) {
                continue;
            }
            bool placed = false;
            for (int draw = 0; draw < kSubmarinePlacementDraws && !placed; ++draw) {
                const int distance = random.Random(DisplacementYards(sub->RandomDistance));
                const int bearing = DisplacementBearing(sub->RandomAngle, random);
                const TGeoPos p = map::MovePoint(sub->OriginalLocation, bearing, distance);
                if (!world_.Chart.IsBlocked(p, nullptr, map::TLandRule::LandOnly)) {
                    sub->Location = p;
                    placed = true;
                }
            }
            if (!placed) {
                world_.Messages().Warn(
                    "Warning! Cannot reposition submarine without putting it on land!\nSub: " +
                    sub->Description());
            }
        }
    }

    // A division ordered faster than its slowest ship can steam is told once, naming the ship.
    void ReportSpeedAboveDesign(const TDivision& d) {
        const TFightingShip* slowest = nullptr;
        for (const TFightingShip* ship : d.Ships) {
            if (slowest == nullptr || ship->Speed < slowest->Speed) {
                slowest = ship;
            }
        }
        if (slowest != nullptr && d.Speed > slowest->Speed &&
            reader_.LineOf(d.SectionName, "Speed") > 0) {
            world_.Messages().Warn("Warning! " + reader_.Where(d.SectionName, "Speed") + "=" +
                                   Number(d.Speed) + " is above the " + Number(slowest->Speed) +
                                   " knots that " + slowest->Name + " (" + slowest->Classname +
                                   ") can make");
        }
    }

    // A role the flagship's type may not take becomes "Independent": the modder who took the
    // numbers for another order of the roles hears of it, with the line.
    void ReportRolesNotAllowed() {
        const int year = world_.ScenarioYear();
        for (const auto& d : world_.Divisions) {
            if (d->RoleAllowed(d->Role, year)) {
                continue;
            }
            world_.Messages().Warn("Warning! " + reader_.WhereGiven(d->SectionName, "Role") +
                                   ": a " + designs::TypeCode(d->Flagship()->ShipType) +
                                   "-division may not be " + combat::RoleText(d->Role) + " in " +
                                   Number(year) + "; " + combat::RoleText(combat::roleIndependent) +
                                   " used");
        }
    }

    // Ships that start on land stay there, aground for the whole battle: the modder hears of
    // each one, with the line that placed it. Land targets stand on land by nature.
    void ReportShipsOnLand() {
        for (const auto& d : world_.Divisions) {
            for (const TFightingShip* ship : d->Ships) {
                if (ship->ShipType == designs::TShipType::LT ||
                    !world_.Chart.IsOnLand(ship->Position())) {
                    continue;
                }
                std::string key = "LL";
                for (int n = 0; n <= kMaxShipIndex; ++n) {
                    const std::string prefix = "Ship" + Number(n);
                    if (reader_.ReadString(d->SectionName, prefix + "Name", kNoShip) ==
                        ship->Name) {
                        key = prefix + "LL";
                        break;
                    }
                }
                world_.Messages().Warn("Warning! " + reader_.Where(d->SectionName, key) +
                                       ": division " + d->DivisionName + ", ship " + ship->Name +
                                       " starts on land at " +
                                       map::PositionToText(ship->Position()));
            }
        }
    }

    TGameWorld& world_;
    const TSectionReader& reader_;
    ILoadProgress* progress_;
    TDesignCache& designs_;
};

} // namespace

std::vector<std::string> WhyUnplayable(const TSectionReader& reader) {
    std::vector<std::string> why;
    const std::string& file = reader.Name();
    constexpr const char* kEnvironment = "Environment";
    if (!reader.SectionExists(kEnvironment)) {
        why.push_back(file + ": there is no [Environment] section: the scenario has no date, "
                             "no chart and no length");
    } else {
        if (reader.ReadString(kEnvironment, "EnvironmentFile", "").empty()) {
            why.push_back(reader.Where(kEnvironment, "EnvironmentFile") +
                          " is not given: the scenario has no chart");
        }
        const int year = reader.ReadInteger(kEnvironment, "Year", 0);
        if (year < kFirstScenarioYear || year > kLastScenarioYear) {
            why.push_back(reader.WhereGiven(kEnvironment, "Year") +
                          ": the start year must lie in " + Number(kFirstScenarioYear) + ".." +
                          Number(kLastScenarioYear));
        } else {
            const core::TDateParts start{year,
                                         reader.ReadInteger(kEnvironment, "Month", 11),
                                         reader.ReadInteger(kEnvironment, "Day", 1),
                                         reader.ReadInteger(kEnvironment, "Hour", 6),
                                         reader.ReadInteger(kEnvironment, "Minute", 5),
                                         0};
            core::TDateTime clock = 0.0;
            if (!core::TryEncodeDateTime(start, clock)) {
                why.push_back(file + ": the start " + Number(start.year) + "-" +
                              Number(start.month) + "-" + Number(start.day) + " " +
                              Number(start.hour) + ":" + Number(start.minute) +
                              " ([Environment] Year, Month, Day, Hour, Minute) is not a date");
            }
        }
        const int length = reader.ReadInteger(kEnvironment, "Length", 1);
        if (length <= 0) {
            why.push_back(reader.Where(kEnvironment, "Length") + "=" + Number(length) +
                          ": a battle lasts at least one minute");
        }
    }
    static constexpr const char* kSideWords[] = {"first", "second"};
    for (int side = 0; side < 2; ++side) {
        if (!reader.SectionExists("Side" + Number(side))) {
            why.push_back(file + ": there is no [Side" + Number(side) + "] section: the " +
                          kSideWords[side] + " side has no name");
        }
    }
    return why;
}

bool LoadScenario(TGameWorld& world, const std::filesystem::path& file, ILoadProgress* progress,
                  TDesignCache* designs) {
    core::IMessages& messages = world.Messages();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        messages.Error(file.string() + " does not exist!");
        return false;
    }
    const TSectionReader reader = TSectionReader::FromFile(file);
    if (!reader.Ok()) {
        // A binary file, a file too large to be a scenario: nothing in it can be trusted.
        messages.Error("Cannot load scenario: " + reader.Error());
        return false;
    }
    return LoadScenario(world, reader, progress, designs);
}

bool LoadScenario(TGameWorld& world, const TSectionReader& reader, ILoadProgress* progress,
                  TDesignCache* designs) {
    core::IMessages& messages = world.Messages();
    for (const std::string& warning : reader.Warnings()) {
        messages.Warn("Warning! " + warning);
    }
    for (const std::string& duplicate : reader.Duplicates()) {
        messages.Warn(duplicate);
    }
    const std::vector<std::string> why = WhyUnplayable(reader);
    if (!why.empty()) {
        for (const std::string& reason : why) {
            messages.Error(reason);
        }
        messages.Error("The scenario " + reader.Name() +
                       " cannot be played: the game does not start");
        return false;
    }
    TDesignCache own;
    TLoader(world, reader, progress, designs != nullptr ? *designs : own).Run();
    return true;
}

void LoadDivisionData(TGameWorld& world, const TSectionReader& reader, TDivision& d) {
    const std::string& section = d.SectionName;
    try {
        d.Shortname = reader.ReadString(section, "Shortname", d.DivisionName);
        core::IMessages& messages = world.Messages();
        d.Course =
            reader.ReadIntegerInRange(section, "Course", kDefaultCourse, 0, kLastDegree, messages);
        d.Speed =
            reader.ReadIntegerInRange(section, "Speed", kDefaultSpeed, 0, kMostKnots, messages);
        d.Formation =
            reader.ReadIntegerInRange(section, "Formation", combat::formLineAhead,
                                      combat::formLineAhead, combat::formScreen, messages);
        d.TurnTogether = d.Formation != combat::formLineAhead;
        d.Role = reader.ReadIntegerInRange(section, "Role", combat::roleIndependent,
                                           combat::roleIndependent, combat::rolePatrol, messages);
        d.AIControl = reader.ReadBool(section, "AIControl", false);
        d.LeadDivName = reader.ReadString(section, "LeadDiv", kNoLead);
        d.RandomAngle =
            reader.ReadIntegerInRange(section, "RandomAngle", 0, 0, kLastDegree, messages);
        d.RandomDistance =
            reader.ReadIntegerInRange(section, "RandomDistance", 0, 0, kMostDisplacement, messages);
        d.TimeToRaiseSteam =
            reader.ReadIntegerInRange(section, "TimeToRaiseSteam", 0, 0, kMostMinutes, messages);
        d.RandomTimeToRaiseSteam = reader.ReadIntegerInRange(section, "RandomTimeToRaiseSteam", 0,
                                                             0, kMostMinutes, messages);
        d.WI = reader.ReadInteger(section, "WI", 0);
        map::TextToPosition(reader.ReadString(section, "Objective", "000000E 000000N"),
                            "Division objective " + d.DivisionName + " (" +
                                reader.Where(section, "Objective") + ")",
                            true, world.Messages(), d.Objective);
        d.Base = reader.ReadString(section, "Base", "");
        d.StartYear = reader.ReadInteger(section, "StartYear", 1900);
        d.EndYear = reader.ReadInteger(section, "EndYear", 1922);
        d.StartMonth = reader.ReadInteger(section, "StartMonth", 1);
        d.EndMonth = reader.ReadInteger(section, "EndMonth", 1);
        if (d.IsNeutral()) {
            return;
        }
        const int force = reader.ReadInteger(section, "Force", -1);
        if (force == -1) {
            world.Messages().Warn("Warning, cannot find force for division! " + d.Shortname + " (" +
                                  reader.WhereGiven(section, "Force") + ")");
            return;
        }
        if (force < 0 || force >= static_cast<int>(world.Forces.size())) {
            throw std::out_of_range(reader.Where(section, "Force") + ": force index " +
                                    Number(force) + " is not one of the " +
                                    Number(static_cast<int>(world.Forces.size())) +
                                    " forces of the scenario");
        }
        d.Force = world.Forces[static_cast<std::size_t>(force)].get();
    } catch (const std::exception& e) {
        world.Messages().Error(
            core::ProcedureErrorText("LoadDivisionData", "Division: " + d.DivisionName, e.what()));
    }
}

void LoadDivisionShips(TGameWorld& world, const TSectionReader& reader, TDivision& d,
                       ILoadProgress* progress, TDesignCache* cache) {
    const std::string& section = d.SectionName;
    core::IMessages& messages = world.Messages();
    core::TRandomGenerator& random = world.Random();
    try {
        for (int n = 0; n <= kMaxShipIndex; ++n) {
            const std::string prefix = "Ship" + Number(n);
            const std::string name = reader.ReadString(section, prefix + "Name", kNoShip);
            if (name == kNoShip) {
                continue;
            }
            const auto path = DesignFilePath(
                world.Folders(), reader.ReadString(section, prefix + "Classname", "XXX"));
            const int probability = reader.ReadIntegerInRange(section, prefix + "Probability",
                                                              kPercent, 0, kPercent, messages);
            const bool historical = reader.ReadBool(section, prefix + "Historical", false);
            if (!ShipTakesPart(world, d, probability, historical, random)) {
                continue;
            }
            std::unique_ptr<TFightingShip> created = CreateShipFromDesign(
                world, path, name, cache, reader.Where(section, prefix + "Classname"));
            if (!created) {
                continue;
            }
            if (progress != nullptr) {
                progress->Step();
            }
            // A ship listed in several alternative divisions sails in the first one loaded.
            if (ShipAlreadyInPlay(world, *created, d.Side)) {
                continue;
            }
            TFightingShip& ship = world.AddShip(std::move(created));
            const TFightingShip* flagship = d.Flagship();
            d.Ships.push_back(&ship);
            ship.Side = d.Side;
            ship.InitialDivision = &d;
            ship.CurrentSpeed = d.Speed;
            ship.OrderedSpeed = d.Speed;
            TGeoPos where;
            if (map::TextToPosition(reader.ReadString(section, prefix + "LL", "X X"),
                                    "Division " + d.DivisionName + " ship " + name + " (" +
                                        reader.Where(section, prefix + "LL") + ")",
                                    true, messages, where)) {
                ship.SetPosition(where);
            } else if (flagship != nullptr) {
                // Better with its division than off the coast of Africa at 0 N 0 E.
                ship.SetPosition(flagship->Position());
            }
            ship.CrewQuality = reader.ReadIntegerInRange(section, prefix + "CrewQuality", 0,
                                                         -kBestCrew, kBestCrew, messages);
            ship.TimeToRaiseSteam = reader.ReadInteger(section, prefix + "TimeToRaiseSteam", 0);
            ship.Mines =
                reader.ReadIntegerInRange(section, prefix + "Mines", 0, 0, kMostMines, messages);
            ship.EngineEfficiency =
                kPercent - reader.ReadIntegerInRange(section, prefix + "EngineDamage", 0, 0,
                                                     kPercent, messages);
            ship.AmmoLevel = reader.ReadIntegerInRange(section, prefix + "AmmoLevel", kPercent, 0,
                                                       kPercent, messages);
            if (ship.ShipType == designs::TShipType::LT) {
                ship.SetCourse(reader.ReadIntegerInRange(section, prefix + "Course", d.Course, 0,
                                                         kLastDegree, messages));
            } else {
                ship.SetCourse(d.Course);
            }
            ship.OrderedCourse = ship.Course();
            if (d.Force != nullptr) {
                ship.PlayerCommanded = !d.Force->AIControl;
            }
        }
    } catch (const std::exception& e) {
        messages.Error(
            core::ProcedureErrorText("LoadDivisionShips", "Division: " + d.DivisionName, e.what()));
    }
}

void LoadMinefields(TGameWorld& world, const TSectionReader& reader) {
    core::IMessages& messages = world.Messages();
    core::TRandomGenerator& random = world.Random();
    constexpr const char* kSection = "Minefields";
    try {
        for (int n = 0; n <= kMaxDivisionIndex; ++n) {
            const std::string prefix = "Minefield" + Number(n);
            const int side = reader.ReadInteger(kSection, prefix + "Side", -1);
            if (side == -1) {
                continue;
            }
            map::TGlobeLayer& layer = world.Chart.FindOrCreateLayer("MineLayer" + Number(side));
            auto& field = world.AddMinefield(std::make_unique<campaign::TMinefield>(&layer));
            map::TGeoDataObject& outline = *field.Marker;
            field.Side = side;
            field.Density = reader.ReadInteger(kSection, prefix + "Density", -1);
            outline.SetTitle(
                reader.ReadString(kSection, prefix + "Title", "Minefield" + Number(n)));
            field.PlayerLaid = reader.ReadBool(kSection, prefix + "PlayerLaid", false);
            ReadPolygon(reader, kSection, prefix, kMaxMinefieldPoint, messages, outline);
            field.RandomAngle = reader.ReadInteger(kSection, prefix + "RandomAngle", 0);
            field.RandomDistance = reader.ReadInteger(kSection, prefix + "RandomDistance", 0);
            if (field.RandomDistance != 0 && outline.Chain(0).Count() > 0) {
                // The whole field moves by one random vector; mines may lie off any coast.
                const int distance = random.Random(DisplacementYards(field.RandomDistance));
                const int bearing = DisplacementBearing(field.RandomAngle, random);
                std::vector<TGeoPos> moved;
                for (const TGeoPos& p : outline.Chain(0).Points()) {
                    moved.push_back(map::MovePoint(p, bearing, distance));
                }
                outline.SetChainPoints(0, std::move(moved));
            }
            // A field of mines is its side's own; density 0 marks an enemy field it knows of.
            outline.SetPresenterID(map::MinefieldPresenter(layer, side, field.Density != 0));
        }
    } catch (const std::exception& e) {
        messages.Error(core::ProcedureErrorText("LoadMinefields", reader.Name(), e.what()));
    }
}

void LoadSearchAreas(TGameWorld& world, const TSectionReader& reader) {
    core::IMessages& messages = world.Messages();
    constexpr const char* kSection = "SearchAreas";
    try {
        world.Chart.FindOrCreateLayer("SearchLayer");
        for (int n = 0; n <= kMaxSearchAreaIndex; ++n) {
            const std::string prefix = "SearchArea" + Number(n);
            const int side = reader.ReadInteger(kSection, prefix + "Side", -1);
            if (side == -1) {
                continue;
            }
            const int category = reader.ReadInteger(kSection, prefix + "Category", -1);
            // Protected zones have their own layer; every other category watches the sea.
            map::TGlobeLayer& layer = world.Chart.FindOrCreateLayer(
                category == campaign::saProtectedZone ? "BKZLayer" : "SearchLayer");
            auto& area = world.AddSearchArea(std::make_unique<campaign::TSearchArea>(&layer));
            area.Side = side;
            area.Category = category;
            area.Marker->SetTitle(reader.ReadString(kSection, prefix + "Title", "Xxx"));
            area.SpotChance = reader.ReadInteger(kSection, prefix + "SpotChance", -1);
            ReadPolygon(reader, kSection, prefix, kMaxSearchAreaPoint, messages, *area.Marker);
            // Search areas watch unseen.
            area.Marker->SetPresenterID(layer.FindOrAddPresenter("ClearSearchAreaPresenter", [] {
                map::TGlobePresenter p;
                p.pen.style = map::psClear;
                p.brush.style = map::bsClear;
                p.titleFont.size = 0;
                return p;
            }));
        }
    } catch (const std::exception& e) {
        messages.Error(core::ProcedureErrorText("LoadSearchAreas", reader.Name(), e.what()));
    }
}

void LoadObjectives(TGameWorld& world, const TSectionReader& reader) {
    core::IMessages& messages = world.Messages();
    constexpr const char* kSection = "Objectives";
    try {
        map::TGlobeLayer& layer = world.Chart.FindOrCreateLayer("ObjectiveLayer");
        for (int n = 0; n <= kMaxObjectiveIndex; ++n) {
            const std::string prefix = "Objective" + Number(n);
            const int side = reader.ReadInteger(kSection, prefix + "Side", 99);
            if (side != 0 && side != 1) {
                continue;
            }
            auto objective = std::make_unique<engine::TObjectiveCondition>(&layer);
            engine::TObjectiveCondition& o = *objective;
            o.Side = side;
            o.Number = reader.ReadInteger(kSection, prefix + "Number", 0);
            o.PointValue = reader.ReadInteger(kSection, prefix + "PointValue", 0);
            o.Goal = reader.ReadInteger(kSection, prefix + "Goal", 0);
            o.ShipType = reader.ReadInteger(kSection, prefix + "ShipType", 0);
            map::TextToPosition(reader.ReadString(kSection, prefix + "Location", "X X"),
                                "Objective location (" +
                                    reader.Where(kSection, prefix + "Location") + ")",
                                true, messages, o.Location);
            map::TextToPosition(reader.ReadString(kSection, prefix + "AltLoc", "0 0"),
                                "Objective alt location (" +
                                    reader.Where(kSection, prefix + "AltLoc") + ")",
                                true, messages, o.AltLoc);
            o.Marker->SetStoredPoint(o.Location);
            o.EndGame = reader.ReadBool(kSection, prefix + "EndGame", false);
            o.Mandatory = reader.ReadInteger(kSection, prefix + "Mandatory", 0);
            o.VisibleToEnemy = reader.ReadBool(kSection, prefix + "VisibleToEnemy", true);
            o.Status = reader.ReadInteger(kSection, prefix + "Status", 0);
            o.StartYear = reader.ReadInteger(kSection, prefix + "StartYear", 0);
            o.EndYear = reader.ReadInteger(kSection, prefix + "EndYear", 0);
            o.StartMonth = reader.ReadInteger(kSection, prefix + "StartMonth", 1);
            o.EndMonth = reader.ReadInteger(kSection, prefix + "EndMonth", 1);
            o.ForceName = reader.ReadString(kSection, prefix + "Force", "XXX");
            o.IntelText = reader.ReadString(kSection, prefix + "IntelText", "");
            o.Marker->SetTitle(o.Description());
            o.Force = FindForceWithName(world, o.ForceName);
            if (o.Force == nullptr) {
                messages.Warn("Warning! Objective has no force! " + o.Description() + " (" +
                              reader.WhereGiven(kSection, prefix + "Force") + ")");
            }
            world.AddObjective(std::move(objective));
        }
    } catch (const std::exception& e) {
        messages.Error(core::ProcedureErrorText("LoadObjectives", reader.Name(), e.what()));
    }
}

void LoadSubmarines(TGameWorld& world, const TSectionReader& reader) {
    core::IMessages& messages = world.Messages();
    constexpr const char* kSection = "Submarines";
    try {
        for (int n = 0; n <= kMaxDivisionIndex; ++n) {
            const std::string prefix = "Submarine" + Number(n);
            const int side = reader.ReadInteger(kSection, prefix + "Side", -1);
            if (side == -1) {
                continue;
            }
            auto sub = std::make_unique<campaign::TSubmarine>();
            sub->Side = side;
            sub->Availability = reader.ReadInteger(kSection, prefix + "Availability", -1);
            sub->InPlay = reader.ReadBool(kSection, prefix + "InPlay", false);
            sub->Reinforcement = reader.ReadInteger(kSection, prefix + "Reinforcement", 0);
            sub->Downtime = reader.ReadInteger(kSection, prefix + "Downtime", 0);
            sub->Name = reader.ReadString(kSection, prefix + "Name", "No name");
            map::TextToPosition(reader.ReadString(kSection, prefix + "Location", "X X"),
                                "Submarine location " + sub->Name + " (" +
                                    reader.Where(kSection, prefix + "Location") + ")",
                                true, messages, sub->Location);
            sub->OriginalLocation = sub->Location;
            sub->Accuracy = reader.ReadInteger(kSection, prefix + "Accuracy", 0);
            sub->RandomDistance = reader.ReadInteger(kSection, prefix + "RandomDistance", 0);
            sub->RandomAngle = reader.ReadInteger(kSection, prefix + "RandomAngle", 0);
            sub->Fate = reader.ReadString(kSection, prefix + "Fate", "");
            sub->TorpsFired = reader.ReadInteger(kSection, prefix + "TorpsFired", 0);
            sub->SubType = reader.ReadInteger(kSection, prefix + "SubType", 0);
            world.AddSubmarine(std::move(sub));
        }
    } catch (const std::exception& e) {
        messages.Error(core::ProcedureErrorText("LoadSubmarines", reader.Name(), e.what()));
    }
}

TDivision* FindDivWithName(const TGameWorld& world, std::string_view shortName, int side) {
    // Detached divisions and those that have left the game are searched too once the world
    // keeps them.
    for (const auto& d : world.Divisions) {
        if (d->Shortname == shortName && d->Side == side) {
            return d.get();
        }
    }
    return nullptr;
}

TForce* FindForceWithName(const TGameWorld& world, std::string_view name) {
    for (const auto& f : world.Forces) {
        if (f->Name == name) {
            return f.get();
        }
    }
    return nullptr;
}

std::filesystem::path DesignFilePath(const core::TGameFolders& folders,
                                     std::string_view className) {
    const std::string fileName = std::string(className) + ".sdf";
    std::filesystem::path shipped;
    if (const auto found = core::FindFileNoCase(folders.DesignsDir(), fileName)) {
        shipped = *found;
    } else {
        // Not there: the path is only named in messages, and a class name from a file may
        // never lead outside the Designs folder.
        std::string safe = fileName;
        std::replace(safe.begin(), safe.end(), '/', '_');
        std::replace(safe.begin(), safe.end(), '\\', '_');
        shipped = folders.DesignsDir() / safe;
    }
    return folders.WithCustomOverride(shipped);
}

std::unique_ptr<TFightingShip>
CreateShipFromDesign(TGameWorld& world, const std::filesystem::path& path,
                     const std::string& shipName, TDesignCache* cache, const std::string& namedAt) {
    core::IMessages& messages = world.Messages();
    auto ship = std::make_unique<TFightingShip>();
    ship->PlaceOnLayer(&world.Chart.FindOrCreateLayer("ShipLayer"));
    if (const designs::Tship* design = cache != nullptr ? cache->Find(path) : nullptr) {
        static_cast<designs::Tship&>(*ship) = *design;
        ship->ApplyDesignState();
    } else if (ship->LoadDesign(path, designs::kHighestNationIndex, messages)) {
        if (cache != nullptr) {
            cache->Add(path, *ship);
        }
    } else {
        messages.Error("Unable to create ship " + shipName + " Filename: " + path.string() +
                       (namedAt.empty() ? std::string() : "\n(class named at " + namedAt + ")"));
        return nullptr;
    }
    ship->Name = shipName;
    ship->Marker->SetTitle(shipName);
    ship->TorpedoData = world.WeaponTables.TorpedoDataFor(ship->TorpedoDesignation);
    const int nation = ship->Nation;
    const core::TColor colour =
        designs::TNationsTable::IsValidIndex(nation)
            ? world.Preferences.NationColours[static_cast<std::size_t>(nation)]
            : map::kGreyColour;
    if (const auto id = map::ShipPresenter(world.Chart, designs::TypeIndex(ship->ShipType), nation,
                                           colour, world.Preferences.ApplyToDD, messages)) {
        ship->Marker->SetPresenterID(*id);
    }
    map::NewWakePresenter(world.Chart, messages);
    return ship;
}

bool CheckDivisionRoles(TGameWorld& world, bool report) {
    bool ok = true;
    const int year = world.ScenarioYear();
    for (const auto& d : world.Divisions) {
        if (d->RoleAllowed(d->Role, year)) {
            continue;
        }
        if (report) {
            world.Messages().Warn("Division: " + d->DivisionName + " Role " +
                                  combat::RoleText(d->Role) + " is not allowed for a " +
                                  designs::TypeCode(d->Flagship()->ShipType) + "-division");
            ok = false;
        } else {
            d->Role = combat::roleIndependent;
        }
    }
    return ok;
}

} // namespace tarnwake::scenario
