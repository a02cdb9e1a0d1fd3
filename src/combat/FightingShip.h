#pragma once

#include "combat/ShipLocation.h"
#include "combat/Visibility.h"
#include "core/EntityId.h"
#include "core/GameClock.h"
#include "designs/Ship.h"
#include "designs/WeaponTables.h"
#include "map/GeoPos.h"

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::core {
class IMessages;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::map {
class TGlobe;
class TGlobeLayer;
} // namespace tarnwake::map

namespace tarnwake::campaign {
struct TMinefieldTag;
}

namespace tarnwake::combat {

class TDivision;

using TShipId = core::TEntityId<struct TShipTag>;

// How well the other side knows a ship (its SightingLevel).
inline constexpr int kUnseen = 0;
inline constexpr int kSighted = 1;
inline constexpr int kTypeIdentified = 2;
inline constexpr int kClassIdentified = 3;

// Damage states, as the rules and the displays name them.
inline constexpr int kDamageNone = 0;
inline constexpr int kDamageLight = 1;
inline constexpr int kDamageMedium = 2;
inline constexpr int kDamageHeavy = 3;
inline constexpr int kDamageSinking = 4;

// Fuel units every ship starts with, whatever its design.
inline constexpr int kInitialEndurance = 140 * 1000;

// Survivors of a sunken ship that one ship picked up. They are lost again when their rescuer
// goes down too.
struct TRescue {
    TShipId Rescuer;
    std::string RescuerName;
    int Picked = 0;
    bool LostWithRescuer = false;
};

// A ship in play: its design record and everything that changes during a battle.
class TFightingShip : public designs::Tship {
public:
    TFightingShip();
    ~TFightingShip() override;
    TFightingShip(const TFightingShip&) = delete;
    TFightingShip& operator=(const TFightingShip&) = delete;

    // ---- On the chart
    // The marker, owned by the ship; on the chart's ship layer once the ship is placed there.
    std::unique_ptr<TShipLocation> Marker;
    // Puts the marker on the ship layer, keeping the position.
    void PlaceOnLayer(map::TGlobeLayer* shipLayer);
    map::TGeoPos Position() const { return Marker->StoredPoint(); }
    // A ship that moves leaves the minute's measured tables: what was measured no longer holds.
    void SetPosition(const map::TGeoPos& p) {
        Marker->MoveTo(p);
        MinuteSlot = -1;
    }

    // ---- Identity and command
    TShipId Id; // given by the world when the ship joins the game
    int Side = 0;
    TDivision* InitialDivision = nullptr;
    int Locked = 0;
    int AskedCount = 0;
    int CrewQuality = 0;
    bool PlayerCommanded = false;

    // ---- Motion
    // The heading is kept once, in thousandths of a degree, so that a turn can run in steps
    // finer than a degree; the whole-degree course the rules read is derived from it.
    int Course() const { return RoundedCourse(headingMilli_); }
    int CourseMilli() const { return headingMilli_; }
    // Sets the heading to a whole-degree course (any value: it is brought into 0..359).
    void SetCourse(int course);
    // Sets the exact heading in thousandths of a degree (brought into 0..359999).
    void SetCourseMilli(int milli);
    int OrderedCourse = 0;
    int CurrentSpeed = 0;
    int OrderedSpeed = 0;
    int Turn = 0; // signed course change of the current minute
    bool Evading = false;
    int TimeToRaiseSteam = 0;
    int RudderStatus = 0; // 0 free; 1 jammed to starboard, 2 amidships, 3 to port
    int CourseAtStartOfMinute = 0;
    double TurnDelay = 0.0; // yards to run on before turning in the wake of the ship ahead
    int OutOfControl = 0;   // minutes the ship ignores its division's orders
    // Signals misread after a hit on the bridge or conning tower: while above 0 the ship may
    // fall out of line, once for each count.
    int CommandConfusion = 0;
    // Minutes before a ship detached from her division may rejoin it.
    int ReattachDelay = 0;
    bool OwnCourse = false; // steering a course of its own instead of its station
    int SmokeMinutes = 0;   // minutes of smoke still to make
    bool Flinch = false;    // a light ship under heavy fire sheers away
    int ShotsFired = 0;     // salvoes fired, for a cruiser drawing away to fight
    int HitsThisMinute = 0;
    int HeavyHitsThisMinute = 0;
    double LastRunYards = 0.0; // the run of the present sub-step, for the ship astern
    // The recent path of the ship for the chart: its wake (short, fading) and its track.
    static constexpr int kWakePoints = 24;
    std::array<map::TGeoPos, kWakePoints> Wake{};
    int WakeCount = 0;

    // A land target is a coastal battery: it never moves.
    bool IsLandTarget() const { return ShipType == designs::TShipType::LT; }
    bool InPlay() const { return !Sunk; }
    // The weight of a land target's guns in the rules that keep ships clear of batteries: its
    // working main-battery guns.
    int BatteryValue() const { return TotalTurretGuns(true); }

    // ---- Damage
    int MaxFloatPoints = 0;
    int CurrentFloatPoints = 0;
    int MaxSuperstructurePoints = 0;
    int CurrentSuperstructurePoints = 0;
    int EngineEfficiency = 100;
    bool EngineDisabled = false;
    bool ElectricDisabled = false;
    int Flooding = 0;
    // Minutes until a player's flagship in heavy flooding is reminded to slow down.
    int FloodingReminder = 0;
    int PF = 0;
    bool Bulkhead = false;
    int FireLevel = 0;
    int FT = 0;
    int Sinking = 0; // minutes left afloat
    bool Sunk = false;
    // Fires beyond control: the crew has left her (once; she is then sinking).
    bool Abandoned = false;
    // The start of her sinking has been dealt with (and told, where the player hears of it).
    bool SinkingAnnounced = false;
    // The flotation warning has been given.
    bool WarnedFlotation = false;
    int LightHits = 0;
    int MediumHits = 0;
    int HeavyHits = 0;
    int TorpedoHits = 0;
    std::string DamageReport;
    // Two particulars of the hull that the hit rules honour: A, a thin or patchy main belt (a
    // hit may meet the end armour instead); B, an engine room with no more protection than the
    // belt. No design sets them yet, so every ship takes the ordinary branches.
    bool HullFlagA = false;
    bool HullFlagB = false;

    // ---- Weapons. Per gun level arrays are indexed 1..3 (main, secondary, tertiary).
    int InitialSecondariesPort = 0;
    int InitialSecondariesStarboard = 0;
    int CurrentSecondariesPort = 0;
    int CurrentSecondariesStarboard = 0;
    int InitialTertiariesPort = 0;
    int InitialTertiariesStarboard = 0;
    int CurrentTertiariesPort = 0;
    int CurrentTertiariesStarboard = 0;
    std::array<int, 4> HitsScored{};
    std::array<int, 4> RoundsFired{};
    std::array<int, 4> Ammo{};
    std::array<bool, 4> Warned80{}; // for the main level: the "less than 20%" warning
    bool Warned50 = false;
    bool WarnedOut = false;
    int AmmoLevel = 100;
    int SmokeFloats = 0;
    // The minefield she is laying (the world owns it); none while not laying.
    core::TEntityId<campaign::TMinefieldTag> MinefieldBeingLaid;
    bool LayingMinefield() const { return static_cast<bool>(MinefieldBeingLaid); }
    bool FiredTorpedoesThisMinute = false;
    // The torpedoes it carries: the built-in data until the scenario finds its design's type.
    designs::TTorpedoType TorpedoData = designs::BuiltInTorpedoData();

    // ---- Targets and fire received
    TFightingShip* CurrentTarget = nullptr; // the main target
    TFightingShip* SecondaryPortTarget = nullptr;
    TFightingShip* SecondaryStarboardTarget = nullptr;
    TFightingShip* TertiaryPortTarget = nullptr;
    TFightingShip* TertiaryStarboardTarget = nullptr;
    int ShipsFiringAtMe = 0;
    int BiggestCalibreTargetingMe = 0;
    int BiggestCalibreAtMe = 0;
    int CalibreAtMeLastTurn = 0;
    int RoundsFiredAtMeThisMinute = 0;
    int RoundsFiredAtMeLastTurn = 0;
    int HitsReceived = 0;
    bool HitByMainGunsThisMinute = false;
    bool MainTargetSetByPlayer = false;
    // Engaged: her main guns fired at her main target in the last fire phase. Target selection
    // clears it for the next.
    bool Engaged = false;
    // The shooters of this minute by the calibre they aim at this ship: 4-5, 6-10 and 11-20
    // inches (ShipsFiringAtMe counts every gun above 3 inches).
    int ShipsAimingLightGuns = 0;
    int ShipsAimingMediumGuns = 0;
    int ShipsAimingHeavyGuns = 0;

    // ---- Gunnery state
    int RangingMinutes = 0; // minutes of ranging left on a new main target
    bool Straddling = false;
    // The ship the main guns last opened fire on; compared, never followed.
    const TFightingShip* LastGunTarget = nullptr;
    bool HoldFireUncertain = false;
    bool FiredThisMinute = false; // a salvo of at least one round
    bool FiredLastMinute = false;
    // Stopped by a collision: the guns are silent for the minute.
    bool Collided = false;
    // Her bow stove in by ramming a ship: she can make half her speed at most, a small ship
    // none.
    bool BowDamage = false;

    // ---- Sighting: how the other side knows this ship, and the light where it is.
    std::vector<TFightingShip*> Sighted; // the enemies this ship sees this minute
    // Friends of its own side (or neutrals) within 3000 yards this minute.
    std::vector<TFightingShip*> NearFriends;
    int SightingLevel = kUnseen;
    // The level at the start of this minute's sighting: a level rises one step a minute at most.
    int PreviousSightingLevel = kUnseen;
    int LightState = kLightDay;
    // The minute's sighting flags, cleared at the start of every sighting pass.
    bool SeenByPlayerThisMinute = false;
    bool SeenThisMinute = false; // an enemy had it in range, or it had one in range
    bool SeenByFriend = false;
    bool WithinTypeRange = false;  // some enemy was near enough to make out its type
    bool WithinClassRange = false; // ... or its class
    bool NewlySighted = false;
    bool Lit = false;
    // She made out the type of a capital ship or armoured cruiser in this minute's sighting.
    bool CapitalShipInSight = false;
    std::string IdentifiedType; // the type code the other side believes
    std::string ReportedClass;  // the class name the other side reports
    // The ship's place in the tables the minute measures (ranges and bearings between ships);
    // moving the ship clears it, and the tables check it is still theirs, so a stale value only
    // costs a fresh measurement.
    int MinuteSlot = -1;
    // Where the other side last saw it: its position at the last minute it was sighted.
    map::TGeoPos LastKnownPosition;
    // The smoke it leaves behind, for the lines of sight that cross it: where it was at the end
    // of each of the last minutes (newest first), drifting downwind; its funnel smoke while
    // under way, and its smoke screen while it makes one.
    struct TSmokePoint {
        map::TGeoPos At;
        bool Present = false;
    };
    static constexpr int kSmokeTrailPoints = 5;
    std::array<TSmokePoint, kSmokeTrailPoints> FunnelTrail{};
    std::array<TSmokePoint, kSmokeTrailPoints> ScreenTrail{};

    // ---- Fuel
    int CurrentEndurance = kInitialEndurance;
    int MaxEndurance = kInitialEndurance;
    bool WarnedForFuelPercentage50 = false;
    bool WarnedForFuelPercentage20 = false;

    // ---- Log: the ship's own hit details, each line starting with the time "hh:nn ".
    std::vector<std::string> Hits;
    // Where shells, torpedoes and mines struck her, for the plan of the ship: the hit location
    // (0 for a torpedo or mine, below the waterline) and the bearing the blow came from,
    // relative to her bow.
    struct THitMark {
        static constexpr int kBelowWaterline = 0;
        int Location = kBelowWaterline;
        int Bearing = 0;
    };
    std::vector<THitMark> HitMarks;
    // The minute (of TimeElapsed) she last turned to comb torpedo tracks; -1: never.
    int AvoidedTorpedoesMinute = -1;

    // ---- Once sunk or gone: when, and what became of her crew.
    core::TDateTime TimeOfLoss = 0.0;
    bool BeingRescued = false; // a division is picking up her survivors
    bool RescueAsked = false;  // the player declined to pick them up
    std::vector<TRescue> Rescues;
    int SurvivorsRescued() const; // picked up and still afloat with their rescuer
    int SurvivorsLost() const;    // picked up, then lost with their rescuer

    // Reads the design file and sets what follows from it: flotation, superstructure points
    // and the secondary and tertiary guns of each broadside (an odd gun is lost, since the
    // design counts guns on both sides together). False after its message when the design
    // cannot be loaded; the caller then drops the ship.
    bool LoadDesign(const std::filesystem::path& designFile, int highestNationIndex,
                    core::IMessages& messages);
    void ApplyDesignState();

    // ---- Bearings and ranges
    // The relative bearing of another ship from this ship's bow, 0..359.
    int GetBearingToShip(const TFightingShip* other, core::IMessages& messages) const;
    // The true bearing to another ship, 0..359.
    int TrueBearingToShip(const TFightingShip* other, core::IMessages& messages) const;
    // The bearing of the firer from the target's bow: where the shells come from.
    static int IncomingBearing(const TFightingShip* target, const TFightingShip* firer,
                               core::IMessages& messages);
    int GetRangeToShip(const TFightingShip* other, core::IMessages& messages) const;
    // The range in whole hundreds of yards; with `estimate` as a rangefinder would judge it
    // (up to a tenth over or under).
    int GetRoundedRangeToShip(const TFightingShip* other, bool estimate,
                              core::TRandomGenerator& random, core::IMessages& messages) const;
    // Ships (not sunk, of this ship's side unless `allSides`) that stand in the line of fire to
    // `target`: within 70 degrees of its bearing and 300 yards of the line.
    int CountShipsInBetween(const TFightingShip* target,
                            const std::vector<std::unique_ptr<TFightingShip>>& ships,
                            bool allSides) const;
    // Secondary and tertiary targets that have drawn out of their broadside's arc are dropped:
    // each of the four is checked, whatever the others are.
    void DropOutOfArcSecondaryTargets(core::IMessages& messages);

    // ---- Guns
    // Guns in the turrets, a turret without guns counting as one.
    int TotalTurretGuns(bool operableOnly) const;
    // Trains every operable turret that bears on relative bearing `r` onto it and the
    // others to their rest bearings; answers the guns bearing.
    int GetMainGunsBearing(int r, core::IMessages& messages);
    // Range in yards at which gun level `level` can still fire, from the maximum range of its
    // calibre in thousands of yards. Gun quality stretches or shortens it by a tenth a
    // point; destroyers, firing from a lively platform, lose 500 yards.
    int GetMaxRange(int level, int calibreMaxRangeThousands) const;

    // ---- Damage summaries
    int FloodingPercentage() const;
    int SuperstructurePercentage() const;
    // Flotation and upper works lost, turrets out of action and speed lost, 0..100.
    int DamagePercentage() const;
    // The same for the rules that report their failures.
    int GetDamagePercentage(core::IMessages& messages) const;
    int GetDamageState(core::IMessages& messages) const;
    // The damage state for the rules that read it: 0 none ... 3 heavy, 4 sinking or sunk.
    int DamageState() const;
    // The capital ships and armoured cruisers (BB, BC, B, CA): hulls big enough to take a
    // turret flash or a heavy shell and survive it more often than smaller ships.
    bool IsLargeShip() const {
        return designs::TypeIndex(ShipType) <= designs::TypeIndex(designs::TShipType::CA);
    }
    // Heavy damage (damage state 3) or sinking.
    bool IsHeavilyDamaged() const;
    // "No damage", "Light damage" ... for the damage percentage `p`; `text` is answered
    // unchanged above 250.
    std::string DamageText(int p, const std::string& text = {}) const;
    // What an observer makes of the damage: sets DamageReport from a draw.
    void EstimateDamage(int p, core::TRandomGenerator& random);

    // ---- Speed and fuel
    int CurrentMaxSpeed() const;
    // Fuel burned per hour at `knots`: the fast-ship curve (HSC) climbs less steeply at
    // battle speeds than the other.
    static int FuelRate(int knots, bool hsc);
    int GetRemainingRange(int knots, core::IMessages& messages) const;
    // Fuel left, percent of a full load; 0 for a ship without bunkers.
    int FuelPercentage() const;

    // ---- Ammunition
    void SetAmmoAllowance(core::TRandomGenerator& random, bool nationCLSmokeFloats);
    int MainAmmoRemainingPercent() const;
    // The once-only low-ammunition warning due now, or empty.
    std::string CheckAmmoWarnings();

    bool IsSinkingOrSunk() const { return Sinking > 0 || Sunk; }
    // Heavy flooding: a great deal of water coming in, or much against the flotation she has
    // lost so far (a fresh hole in a sound hull).
    bool HeavilyFlooded() const;
    // How the other side names her: its identified type and reported class, or "unknown ship".
    std::string IdentifiedName() const;

private:
    static int RoundedCourse(int milli);
    // The damage state of a damage percentage 0..300; none outside.
    static std::optional<int> StateForPercentage(int p);
    int headingMilli_ = 0;
};

// Yards between two ships, unrounded.
double RangeYards(const TFightingShip& a, const TFightingShip& b);

// A copy of a ship's design record for the ship views: the whole record with its turrets (guns
// and positions only) and mounts (tubes, torpedoes left and positions), its name and its
// outlines, on the same chart layer and at the same place. No copy (after "Illegal nation
// value! Class: <class>") for a ship whose nation is outside the table.
std::unique_ptr<TFightingShip>
CopyShipForDisplay(const TFightingShip& source, int highestNationIndex, core::IMessages& messages);

} // namespace tarnwake::combat
