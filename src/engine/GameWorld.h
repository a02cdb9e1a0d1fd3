#pragma once

#include "combat/BattleContext.h"
#include "core/Folders.h"
#include "core/GameClock.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"
#include "engine/GameSpeed.h"
#include "engine/MessageLog.h"
#include "engine/Side.h"
#include "map/Globe.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwake::core {
class IMessages;
class ISound;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::combat {
class TFightingShip;
class TDivision;
class TForce;
} // namespace tarnwake::combat

namespace tarnwake::campaign {
struct TSubmarine;
}

namespace tarnwake::engine {

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
};

// The weather and light values of the environment that the minute loop keeps up to date,
// with the scenario's environment keys they start from.
struct TEnvironmentState {
    int Weather = 2; // 0 fog ... 7 heavy rain
    int WindForce = 0;
    int DayRange = 20000;  // yards
    int NightRange = 4000; // yards
    int MeanRange = 12000; // yards
    // As the scenario gives them (yards); the working ranges above start from these.
    int DaySightingDistance = 22000;
    int NightSightingDistance = 10000;
    int Variation = 0; // how changeable the weather is: -1, 0 or 1
    int Bias = 0;
    int MorningMist = 0; // chance in percent
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

// The game world and its minute.
//
// Ownership, kept for the whole game: the world owns every ship, division and force (and,
// as they come, torpedoes, objectives, reports and submarines). Divisions and forces only
// refer to ships and divisions. Whatever leaves the game leaves through RemoveShip,
// RemoveDivision or RemoveForce, which take it out of every list and reference that may hold
// it (divisions, forces, targets, leads, the log) in one operation, so no reference dangles.
//
// The minute: the core does not own timers. It says which of its two timers should run and at
// what interval (RunTimerEnabled, SubStepTimerEnabled, the speed table); the desktop program
// drives them with two timers, the headless runner with a plain loop (RunHeadless).
class TGameWorld : public combat::IBattleContext {
public:
    TGameWorld(core::IMessages& messages, core::ISound& sound, core::TRandomGenerator& random,
               core::TGameFolders folders);
    ~TGameWorld();
    TGameWorld(const TGameWorld&) = delete;
    TGameWorld& operator=(const TGameWorld&) = delete;

    // ---- Services
    core::IMessages& Messages() override { return messages_; }
    core::ISound& Sound() { return sound_; }
    core::TRandomGenerator& Random() override { return random_; }
    const core::TGameFolders& Folders() const { return folders_; }
    void SetView(IGameView* view) { view_ = view; }

    // ---- The order of battle (owned)
    std::vector<std::unique_ptr<combat::TFightingShip>> Ships;
    std::vector<std::unique_ptr<combat::TDivision>> Divisions;
    std::vector<std::unique_ptr<combat::TForce>> Forces;
    // The scenario's objectives (markers on "ObjectiveLayer") and campaign submarines.
    // Minefields and search areas are owned by their chart layers.
    std::vector<std::unique_ptr<TObjectiveCondition>> Objectives;
    std::vector<std::unique_ptr<campaign::TSubmarine>> Submarines;

    combat::TFightingShip& AddShip(std::unique_ptr<combat::TFightingShip> ship);
    combat::TDivision& AddDivision(std::unique_ptr<combat::TDivision> division);
    combat::TForce& AddForce(std::unique_ptr<combat::TForce> force);
    void RemoveShip(combat::TFightingShip* ship);
    void RemoveDivision(combat::TDivision* division);
    void RemoveForce(combat::TForce* force);
    // Whether the ship is still one of the world's (windows holding a ship ask before use).
    bool HoldsShip(const combat::TFightingShip* ship) const;
    // The division the ship sails in; none when no division holds it.
    combat::TDivision* DivisionOfShip(const combat::TFightingShip* ship) const;
    // Empties the world for the next game.
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
    int Length = 240;
    int PlayerSide = 0; // 2: the computer commands both sides
    bool Campaign = false;
    int ScenarioYear() const override;

    // ---- Clock state
    int MinutesToRun = 0;
    bool MinuteReady = true;
    bool PausePending = false;
    int SubStepsLeft = 0;
    int TorpedoCheckPeriod = 1;
    int SpeedIndex = kNormalSpeed;
    bool DecideForAll = false; // every computer division decides in the next minute
    int QuietMinutes = 0;
    bool ScenarioFinished = false;
    bool ObjectiveReached = false;
    std::array<bool, 2> AllHome{};

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
    void SetGameSpeed(int index);
    void RunTimerTick();
    void SubStepTick();
    void StartMinute();
    void FinishMinute();
    void EndScenario(const std::string& message);

    // Runs the clock without timers until the run ends; answers the minutes completed.
    int RunHeadless(int minutes);

    // "1916-05-31 14:48" and "Time elapsed 12 (240)" for the status bar.
    std::string ClockText() const;
    std::string ElapsedText() const;

    // ---- What the division and station rules ask of the world
    map::TGlobe& Globe() override { return Chart; }
    const designs::TNation& NationOf(const combat::TFightingShip& ship) const override;
    std::vector<combat::TDivision*> AllDivisions() const override;
    // How far a ship can be seen. Until sighting is in the game: the environment's day range
    // (the jitter flag is not used).
    int VisibilityRange(const combat::TFightingShip& ship, bool weatherJitter) override;
    int WeatherCode() const override { return Environment.Weather; }
    // There are no bases until bases and ports are in the game: every division can reach
    // port.
    bool NearestBase(const combat::TFightingShip& ship, map::TGeoPos& where,
                     std::string& title) override;
    // Until the navigation helpers arrive every division may count a waypoint reached.
    bool WaypointArrivalAllowed(const combat::TDivision& division) override;

    // ---- Seams filled by later rules
    // Whether a ship has an enemy ship in its sighted list.
    bool HasEnemyInSight(const combat::TFightingShip& ship) const;
    bool AnyTorpedoRunning() const { return false; } // no torpedoes in the water yet
    // Whether the player is shown what happens to this ship: a ship of the player's side, or
    // any ship when the computer commands both sides.
    bool PlayerMaySee(const combat::TFightingShip& ship) const;
    // Whether the player may give the divisions of a side orders: always, unless the scenario
    // keeps them waiting for the side's first sighting (NoOrdersBS).
    bool OrdersAllowed(int side) const;
    // An enemy worth keeping clear of: a battery with working guns, or a ship with guns that
    // is not too badly hurt to use them.
    bool IsThreat(const combat::TFightingShip& enemy);
    // The nearest ship of the other side in the ship's sighted list (a land target only when
    // `landTargets`), and its range in yards.
    combat::TFightingShip* NearestSightedEnemy(const combat::TFightingShip& ship, bool landTargets,
                                               double& range) const;
    // A course near `course` clear of enemies and land within `distance` yards. The
    // navigation helpers are not in the game yet: the course is answered unchanged.
    int TryCourseAvoidClose(combat::TFightingShip& ship, int span, int distance, int course);
    // The ship's main enemy, for the smoke screen of computer divisions. Until the fire phase
    // is in the game ships have none.
    combat::TFightingShip* MainEnemy(const combat::TFightingShip& ship) const;
    // Two ships within 35 yards: collision and ramming come with the torpedo and mine rules.
    void ResolveCollision(combat::TFightingShip& ship, combat::TFightingShip& other) {
        (void)ship;
        (void)other;
    }
    // A ship's check for mines on the last sub-step of the minute: minefields come later.
    void MineCheck(combat::TFightingShip& ship) { (void)ship; }
    // Friends of other divisions the ship sees near it (filled by sighting, empty until then).
    const std::vector<combat::TFightingShip*>& NearFriends(const combat::TFightingShip& ship) const;
    // The world's ships in play of a side (not sunk, not sinking), in non-neutral divisions.
    int ShipsAtSea(int side) const;

private:
    void ComputeSubStepCount();
    void ApplySpeedCap();

    void RunEndOfScenarioChecks();
    void Autosave();

    // Phases of the minute that later rules fill; each runs guarded, so a failure in one
    // degrades that step only.
    void AIDivisionsDecide();
    void CheckObjectives() {}
    void AssessForceWithdrawal() {}
    void Weatherchange() {}
    void AdjustSightingLevel() {}

    bool Checksightings() { return PausePending; }
    void SelectTargetsForAllDivisions() {}
    void ComputerTorpedoLaunches() {}
    void ClearMinuteCounters() {}
    void GunfireOfAllShips() {}
    void AllShipsDamageControl();
    // The flagship draws its division's track: a new point on odd minutes, and on even ones
    // the newest point moves up to the flagship.
    void ExtendDivisionTrack(combat::TDivision& division) const;
    // Whether a ship in play is farther from its force's home than the force's home radius.
    // Until ships have positions on the chart every ship counts as away, so no side is ever
    // found all home.
    bool IsAwayFromHome(const combat::TFightingShip& ship) const;
    // Speeds change once a minute here; sinking comes with the damage rules.
    void AllShipsCheckSinkings();
    // The computer's stance and course for one division: the computer opponent is not in the
    // game yet, so its divisions hold their orders.
    void DivisionDecides(combat::TDivision& division) { (void)division; }
    // The life of divisions after the minute's fighting. For now: every fifth minute the
    // fuel of five minutes is burned and the fuel situation checked; smoke decisions and the
    // hold-fire countdown. Detaching, rescue and contact rules come with the sinking rules.
    void CheckAllDivAfterMove();
    void ContactReportUpkeep() {}
    void AircraftSightings() {}
    void CheckSubmarines() {}
    void CheckSubordinateForceInCombat() {}
    void ReduceSearchAreaReports() {}
    void CheckCautiousAIFeelingGood() {}
    void SubmarineAgainstSubmarine() {}
    bool ObjectiveResults() { return false; }
    void PlayerPrompts() {}
    void SinkAllSinking() {}
    void MoveTorpedoes(bool checkContacts) { (void)checkContacts; }

    core::IMessages& messages_;
    core::ISound& sound_;
    core::TRandomGenerator& random_;
    core::TGameFolders folders_;
    IGameView* view_ = nullptr;
};

} // namespace tarnwake::engine
