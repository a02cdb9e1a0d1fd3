#pragma once

#include "combat/BattleContext.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Gunnery.h"
#include "core/Folders.h"
#include "core/GameClock.h"
#include "core/Random.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"
#include "engine/FireLog.h"
#include "engine/GameSpeed.h"
#include "engine/MessageLog.h"
#include "engine/Objective.h"
#include "engine/OrderJournal.h"
#include "engine/Report.h"
#include "engine/Side.h"
#include "engine/SightingPairs.h"
#include "engine/SmokeFloat.h"
#include "map/Globe.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwake::core {
class IMessages;
class ISound;
} // namespace tarnwake::core

namespace tarnwake::campaign {
struct TSubmarine;
struct TMinefieldTag;
class TMinefield;
class TSearchArea;
} // namespace tarnwake::campaign

namespace tarnwake::engine {

class IComputerOpponent;
class TPhaseProfile;
class TTorpedo;

// What the display learns from the minute loop. The desktop program implements it; the
// headless runner and the tests may leave it out.
class IGameView {
public:
    virtual ~IGameView() = default;
    // The end of every minute: the clock and elapsed-time texts changed.
    virtual void MinuteFinished() {}
    // A run has ended (neither timer running): rebuild the order of battle and the reports.
    virtual void RunEnded() {}
    // The scenario is over: show the results.
    virtual void ShowResults() {}
    // A contact report has reached the player and its marker shows; with `bringForward` the
    // clock stops for it and the reports come to the front.
    virtual void ReportDelivered(const TReport&, bool /*bringForward*/) {}
};

// The chart colours of the player's preferences: the sea follows the weather.
struct TChartColours {
    core::TColor Water = 0x00FFFF80;
    core::TColor Land = 0x009DF7F4;
    core::TColor Fog = 0x00EFEFEF;
    core::TColor Rain = 0x00AFBF3E;
};

// "Initial AI control of subordinate divisions": which of the player's divisions that follow
// a lead the computer steers from the start.
enum TInitialAIControl : int {
    aiAllSubordinates = 0,
    aiCruisersAndDestroyers = 1,
    aiDestroyers = 2,
    aiNone = 3,
};

// The realism settings: how much of the fighting the player steers by hand, from the fleet
// commander's view (Admiral) to every ship's guns and torpedoes (Captain).
inline constexpr int kRealismAdmiral = 0;
inline constexpr int kRealismRearAdmiral = 1;
inline constexpr int kRealismCaptain = 2;

// The player's side when the computer commands both and the player only watches.
inline constexpr int kWatchingSide = 2;
// Neutral shipping: nobody's enemy and nobody's command.
inline constexpr int kNeutralSide = 3;

// The settings of the player's preferences that the game reads.
struct TPlayPreferences {
    TLogSettings Log;
    int RealismSetting = kRealismRearAdmiral;
    int AutosaveMinutes = 60; // 0: never
    int InitialAIControl = aiDestroyers;
    TChartColours Colours;
    // Deck colours of the ships of each nation; grey until the player chooses.
    std::array<core::TColor, designs::kNationCount> NationColours = [] {
        std::array<core::TColor, designs::kNationCount> grey{};
        grey.fill(0x00808080);
        return grey;
    }();
    bool ApplyToDD = false; // destroyers drawn in national colours too
    // "Open fire message": ships of this type code or lower have their opening fire, range and
    // lost-sight messages shown.
    int OpenFireMsg = 5;
    bool FFRLow = false; // "Reduced flash fire risk"
    // "Land LOS calculation": land between two ships hides them from each other.
    bool LOScalc = true;
    // The main window's "count smoke": funnel and screen smoke across the line of sight hides
    // ships too.
    bool CountFunnelSmoke = false;
    // "Flotation damage warning": ships of this type code or lower warn of heavy flooding.
    int FloatWarning = 2;
};

// The weather and light values of the environment that the minute loop keeps up to date,
// with the scenario's environment keys they start from.
struct TEnvironmentState {
    int Weather = 2; // 0 fog ... 7 heavy rain
    int WindForce = 0;
    int DayRange = 20000;  // yards
    int NightRange = 4000; // yards
    // The range at dusk: halfway between the day and the night range.
    int MeanRange() const { return (DayRange + NightRange) / 2; }
    // As the scenario gives them (yards); the working ranges above start from these.
    int DaySightingDistance = 22000;
    int NightSightingDistance = 10000;
    // The weather's trend: -1 lets the wind rise, +1 lets it fall and the sky clear. The
    // scenario gives its first value; the weather moves it.
    int Variation = 0;
    int Bias = 0;
    int MorningMist = 0;                // chance in percent
    bool MorningMistChecked = false;    // the one morning of the game has been looked at
    bool WeatherDamageReported = false; // the first weather damage stops the clock
    bool Squalls = false;
    int WindDirection = 0; // degrees: where smoke drifts to
    int Windspeed = 0;
    int SeaState = 0;
    int EndDate = 0;
    std::string EnvironmentFile = "xxx"; // as the scenario names it
    // The player's orders wait for the side's first sighting.
    bool NoOrdersBS = false;
    // The side's forces start at their alternate points when the player commands it.
    std::array<bool, 2> PlayerStartpos{};
    std::array<bool, 2> FirstSighting{};
};

// The game world: every thing in the game, who owns it, and the clock.
//
// Ownership, kept for the whole game: the world owns every ship, division, force, objective,
// minefield, search area, submarine and smoke float. Each gets a stable id when it joins (Add*),
// by which windows, lists and the order journal name it; the rules inside the world refer to
// one another by pointer. Chart layers hold only the markers the things own. A ship that sinks
// or leaves the game moves to the sunk list (RetireShip), which clears every reference to it in
// one step; only clearing the world destroys it. Divisions and forces that leave go through
// RemoveDivision and RemoveForce, which do the same for them.
//
// The minute: the rules of the minute are the phase tables of MinutePhases; the world runs
// them. The core does not own timers. It says which of its two timers should run and at what
// interval (RunTimerEnabled, SubStepTimerEnabled, the speed table); the desktop program drives
// them with two timers, the headless runner with a plain loop (RunHeadless).
//
// Chance: the world owns the game's generator, through which every roll of the rules goes in
// the order the rules give, and a second, cosmetic generator for what only shows (sounds,
// wakes, smoke puffs, splashes, estimates in windows). Both are seeded when a game starts.
class TGameWorld : public combat::IBattleContext {
public:
    TGameWorld(core::IMessages& messages, core::ISound& sound, core::TGameFolders folders);
    ~TGameWorld() override;
    TGameWorld(const TGameWorld&) = delete;
    TGameWorld& operator=(const TGameWorld&) = delete;

    // ---- Services
    // Questions asked here are journaled (and answered from the journal in a replay).
    core::IMessages& Messages() override { return answers_; }
    core::ISound& Sound() { return sound_; }
    core::TRandomGenerator& Random() override { return *random_; }
    core::TRandomGenerator& Cosmetic() { return cosmetic_; }
    const core::TGameFolders& Folders() const { return folders_; }
    void SetView(IGameView* view) { view_ = view; }
    IGameView* View() const { return view_; }

    // Seeds both generators for a new game.
    void Seed(std::uint64_t seed);
    std::uint64_t SeedValue() const { return seed_; }
    // Tests replace the game's generator with a scripted one.
    void UseGenerator(std::unique_ptr<core::TRandomGenerator> generator);

    // The computer opponent: the game start installs it; until then (and when none is
    // installed) every computer division holds its orders.
    IComputerOpponent& Opponent() { return *opponent_; }
    void InstallOpponent(std::unique_ptr<IComputerOpponent> opponent);

    // ---- The order of battle and every other thing in the game (owned)
    std::vector<std::unique_ptr<combat::TFightingShip>> Ships;     // in play
    std::vector<std::unique_ptr<combat::TFightingShip>> SunkShips; // sunk or gone from the game
    std::vector<std::unique_ptr<combat::TDivision>> Divisions;
    std::vector<std::unique_ptr<combat::TForce>> Forces;
    std::vector<std::unique_ptr<TObjectiveCondition>> Objectives;
    std::vector<std::unique_ptr<campaign::TSubmarine>> Submarines;
    std::vector<std::unique_ptr<campaign::TMinefield>> Minefields;
    std::vector<std::unique_ptr<campaign::TSearchArea>> SearchAreas;
    std::vector<std::unique_ptr<TSmokeFloat>> SmokeFloats;
    std::vector<std::unique_ptr<TTorpedo>> Torpedoes; // in the water
    // Contact reports, newest first: those the player's side receives (late and garbled) and
    // those the computer works from.
    std::vector<std::unique_ptr<TReport>> PlayerReports;
    std::vector<std::unique_ptr<TReport>> ComputerReports;

    combat::TFightingShip& AddShip(std::unique_ptr<combat::TFightingShip> ship);
    combat::TDivision& AddDivision(std::unique_ptr<combat::TDivision> division);
    combat::TForce& AddForce(std::unique_ptr<combat::TForce> force);
    TObjectiveCondition& AddObjective(std::unique_ptr<TObjectiveCondition> objective);
    campaign::TMinefield& AddMinefield(std::unique_ptr<campaign::TMinefield> field);
    campaign::TSearchArea& AddSearchArea(std::unique_ptr<campaign::TSearchArea> area);
    TSmokeFloat& AddSmokeFloat(std::unique_ptr<TSmokeFloat> smoke);
    // A new report joins the head of the player's or the computer's list.
    TReport& AddReport(std::unique_ptr<TReport> report, bool forPlayer);
    void AddSubmarine(std::unique_ptr<campaign::TSubmarine> submarine);
    TTorpedo& AddTorpedo(std::unique_ptr<TTorpedo> torpedo);

    // A ship that has sunk or left the game: off every list and reference of the game, its
    // markers hidden, kept in the sunk list.
    void RetireShip(combat::TFightingShip* ship);
    void RemoveDivision(combat::TDivision* division);
    void RemoveForce(combat::TForce* force);
    void RemoveSmokeFloat(TSmokeFloat* smoke);
    // A torpedo whose run has ended.
    void RemoveTorpedo(TTorpedo* torpedo);

    // Look-ups by id; none when the thing is not (or no longer) in the game.
    combat::TFightingShip* FindShip(combat::TShipId id) const;
    // A ship of the sunk list.
    combat::TFightingShip* FindSunkShip(combat::TShipId id) const;
    combat::TDivision* FindDivision(combat::TDivisionId id) const;
    combat::TForce* FindForce(combat::TForceId id) const;
    TObjectiveCondition* FindObjective(TObjectiveId id) const;
    TReport* FindReport(TReportId id) const;
    campaign::TMinefield* FindMinefield(core::TEntityId<campaign::TMinefieldTag> id) const;

    // The division the ship sails in; none when no division holds it.
    combat::TDivision* DivisionOfShip(const combat::TFightingShip* ship) const;
    // Empties the world for the next game: everything but the services, the preferences and
    // the rule tables goes back to how a new world starts.
    void Clear();

    // ---- The chart and the rule tables
    map::TGlobe Chart;
    designs::TNationsTable Nations;
    designs::TWeaponTables WeaponTables;

    // ---- Game-wide values
    std::array<TSide, 2> Sides;
    TMessageLog Log;
    TPlayPreferences Preferences;
    TEnvironmentState Environment;
    core::TDateTime Clock = 0.0;
    int TimeElapsed = 0;
    static constexpr int kDefaultLength = 240;
    int Length = kDefaultLength;
    int PlayerSide = 0; // kWatchingSide: the computer commands both sides
    bool Campaign = false;
    int ScenarioYear() const override;

    // The orders the player gave and the answers to the game's questions, in order.
    TOrderJournal Journal;

    // ---- What the minute has measured: ranges, bearings and light, while no ship moves.
    TSightingPairs SightingPairs;

    // ---- Gunfire
    // The gunnery log of this game, written to the user folder at the end of every minute.
    TFireLog GunneryLog{kGunneryLogHeader};
    // The torpedo log: a line for every torpedo whose run has ended, kept like the gunnery log.
    TFireLog TorpedoLog{kTorpedoLogHeader};
    // The calibres whose missing gun data has been reported this game.
    combat::TGunDataWarnings GunDataWarnings;
    // The lines of fire of the last minute, for the chart: each firing ship and its target.
    struct TFireLine {
        combat::TShipId Firer;
        combat::TShipId Target;
        int Side = 0;
        int Calibre = 0; // inches, of the guns that fired
        // What the chart shows of the salvo: its size, whether it straddled, its hits and
        // where its shells fell round the target (drawn by the cosmetic generator).
        int Rounds = 0;
        int Hits = 0;
        bool Straddle = false;
        bool BlewUp = false; // one of its hits blew the target up
        std::vector<combat::TSplash> Splashes;
    };
    std::vector<TFireLine> FireLines;

    // ---- Clock state
    int MinutesToRun = 0;
    bool MinuteReady = true;
    bool PausePending = false;
    int SubStepsLeft = 0;
    int TorpedoCheckPeriod = 1;
    int SpeedIndex = kNormalSpeed;
    bool DecideForAll = false; // every computer division decides in the next minute
    // Where the minutes' time goes, when someone measures it (the runner's --profile).
    TPhaseProfile* Profile = nullptr;
    int QuietMinutes = 0;
    bool ScenarioFinished = false;
    // An objective that ends the game was accomplished, or failed, this game.
    bool ObjectiveReached = false;
    bool ObjectiveFailed = false;
    // Why the scenario ended, as it was announced; empty while it goes on.
    std::string EndMessage;
    std::array<bool, 2> AllHome{};
    // The player's standing answers to the survivors question: "Yes to all", "No to all".
    bool RescueYesToAll = false;
    bool RescueNoToAll = false;

    bool RunTimerEnabled = false;
    bool SubStepTimerEnabled = false;
    int RunTimerInterval() const { return GameSpeed(SpeedIndex).RunTimerMs; }
    int SubStepTimerInterval() const { return GameSpeed(SpeedIndex).SubStepTimerMs; }

    // Saves the game to the autosave file; answers whether it did. Until a saver is
    // installed, autosave does nothing (and says nothing).
    std::function<bool(const std::filesystem::path&)> AutosaveHook;

    // ---- The minute
    // Starts or continues a run of `count` minutes ("Turn" 1, "Run 5 minutes" 5,
    // "Run" kRunUntilStopped).
    static constexpr int kRunUntilStopped = 1111111115;
    void RunMinutes(int count);
    void RequestPause();
    // The player's choice of speed is journaled: replays follow it.
    void SetGameSpeed(int index);
    // A change of speed the rules make (the cap to "Normal" in action).
    void ApplyGameSpeed(int index);
    void RunTimerTick();
    void SubStepTick();
    void StartMinute();
    void FinishMinute();
    void EndScenario(const std::string& message);

    // Runs the clock without timers until the run ends; answers the minutes completed.
    int RunHeadless(int minutes);
    // Runs `minutes` whole minutes without timers, or until the game ends: a break event only
    // pauses the desktop program, so the run goes straight on. `afterMinute` is called at the
    // end of every minute. Answers the minutes completed. The headless runner, the replays'
    // recordings and the tests all run a game this way.
    int RunWholeMinutes(int minutes, const std::function<void()>& afterMinute = {});
    // Where the clock stands between two ticks: the minute and the sub-steps it has left.
    TJournalPoint Now() const { return {TimeElapsed, SubStepsLeft}; }

    // "1916-05-31 14:48" and "Time elapsed 12 (240)" for the status bar.
    std::string ClockText() const;
    std::string ElapsedText() const;

    // ---- What the division and station rules ask of the world
    map::TGlobe& Globe() override { return Chart; }
    const designs::TNation& NationOf(const combat::TFightingShip& ship) const override;
    std::vector<combat::TDivision*> AllDivisions() const override;
    int VisibilityRange(const combat::TFightingShip& ship, bool weatherJitter) override;
    int WeatherCode() const override { return Environment.Weather; }
    // There are no bases or ports in a battle of this game: every division can reach home.
    bool NearestBase(const combat::TFightingShip& ship, map::TGeoPos& where,
                     std::string& title) override;
    bool WaypointArrivalAllowed(const combat::TDivision& division) override;

    // ---- State the rules and the displays read
    // Whether the player is shown what happens to this ship: a ship of the player's side, or
    // any ship when the computer commands both sides.
    bool PlayerMaySee(const combat::TFightingShip& ship) const;
    // The world's ships in play of a side (not sunk, not sinking), in non-neutral divisions.
    int ShipsAtSea(int side) const;

private:
    // Answers the game's questions: the player's answers are journaled, and a replay takes
    // them back from the journal in the order they were given.
    class TJournaledMessages : public core::IMessages {
    public:
        TJournaledMessages(core::IMessages& shown, TGameWorld& world)
            : shown_(shown), world_(world) {}
        void ShowMessage(core::TMessageKind kind, const std::string& text) override;
        core::TButton Ask(const std::string& text, core::TButtons buttons,
                          core::TButton preferred) override;
        std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                            const std::string& defaultValue) override;

    private:
        core::IMessages& shown_;
        TGameWorld& world_;
    };

    template <typename T> T& Join(std::vector<std::unique_ptr<T>>& list, std::unique_ptr<T> item);

    core::IMessages& shownMessages_;
    TJournaledMessages answers_;
    core::ISound& sound_;
    std::unique_ptr<core::TRandomGenerator> random_;
    core::TRandomGenerator cosmetic_;
    std::uint64_t seed_ = 0;
    std::unique_ptr<IComputerOpponent> opponent_;
    core::TGameFolders folders_;
    IGameView* view_ = nullptr;
    std::int32_t nextId_ = 1;
};

} // namespace tarnwake::engine
