#include "engine/GameWorld.h"

#include "campaign/Minefield.h"
#include "campaign/SearchArea.h"
#include "campaign/Submarine.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/ComputerOpponent.h"
#include "engine/EndOfScenario.h"
#include "engine/Minefields.h"
#include "engine/MinuteBookkeeping.h"
#include "engine/MinutePhases.h"
#include "engine/Movement.h"
#include "engine/PhaseProfile.h"
#include "engine/Sighting.h"
#include "engine/Torpedo.h"
#include "engine/Torpedoes.h"

#include <algorithm>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using combat::TForce;

namespace {

// The cosmetic generator runs on a stream of its own, so that what only shows never takes a
// number the rules would have drawn.
constexpr std::uint64_t kCosmeticStream = 0x636F736D65746963ULL;

constexpr const char* kAnswerPrefix = "answer ";
constexpr const char* kInputPrefix = "input ";
constexpr const char* kInputCancelled = "input-cancelled";

template <typename T> void Erase(std::vector<T*>& list, const T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

template <typename T> void EraseOwned(std::vector<std::unique_ptr<T>>& list, const T* item) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [item](const auto& owned) { return owned.get() == item; }),
               list.end());
}

template <typename T, typename Id> T* FindById(const std::vector<std::unique_ptr<T>>& list, Id id) {
    if (!id) {
        return nullptr;
    }
    for (const auto& item : list) {
        if (item->Id == id) {
            return item.get();
        }
    }
    return nullptr;
}

// The answer words of the journal: the buttons of a question in the replay file's own text.
const core::TButton kAnswerButtons[] = {core::btOk, core::btCancel,   core::btYes,
                                        core::btNo, core::btYesToAll, core::btNoToAll};

std::string AnswerWord(core::TButton button) {
    std::string word = core::ButtonCaption(button);
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) {
        return c == ' ' ? '-' : static_cast<char>(std::tolower(c));
    });
    return word;
}

std::optional<core::TButton> ButtonFromWord(const std::string& word) {
    for (core::TButton button : kAnswerButtons) {
        if (AnswerWord(button) == word) {
            return button;
        }
    }
    return std::nullopt;
}

} // namespace

// ---- Questions ------------------------------------------------------------------------------

void TGameWorld::TJournaledMessages::ShowMessage(core::TMessageKind kind, const std::string& text) {
    shown_.ShowMessage(kind, text);
}

core::TButton TGameWorld::TJournaledMessages::Ask(const std::string& text, core::TButtons buttons,
                                                  core::TButton preferred) {
    TOrderJournal& journal = world_.Journal;
    if (journal.PlayingBack()) {
        // The recorded game's answer, when it was asked the same question at this point.
        if (const auto word = journal.TakeAnswer()) {
            if (const auto button = ButtonFromWord(*word); button && (buttons & *button) != 0) {
                return *button;
            }
        }
        shown_.Warn("Warning! The replay has no answer to: " + text);
        return core::DefaultButton(buttons, preferred);
    }
    const core::TButton answer = shown_.Ask(text, buttons, preferred);
    journal.Record(world_.Now(), kAnswerPrefix + AnswerWord(answer));
    return answer;
}

std::optional<std::string>
TGameWorld::TJournaledMessages::InputBox(const std::string& caption, const std::string& prompt,
                                         const std::string& defaultValue) {
    TOrderJournal& journal = world_.Journal;
    if (journal.PlayingBack()) {
        const auto word = journal.TakeAnswer();
        if (word && word->rfind(kInputPrefix, 0) == 0) {
            return word->substr(std::string(kInputPrefix).size());
        }
        if (word && *word == kInputCancelled) {
            return std::nullopt;
        }
        shown_.Warn("Warning! The replay has no answer to: " + prompt);
        return std::nullopt;
    }
    auto answer = shown_.InputBox(caption, prompt, defaultValue);
    journal.Record(world_.Now(), std::string(kAnswerPrefix) +
                                     (answer ? kInputPrefix + *answer : kInputCancelled));
    return answer;
}

// ---- The world ------------------------------------------------------------------------------

TGameWorld::TGameWorld(core::IMessages& messages, core::ISound& sound, core::TGameFolders folders)
    : shownMessages_(messages), answers_(messages, *this), sound_(sound),
      random_(std::make_unique<core::TRandomGenerator>(0)),
      opponent_(std::make_unique<THoldingOpponent>()), folders_(std::move(folders)) {
    Seed(0);
    SetGameSpeed(kNormalSpeed);
    Chart.SetMessages(&answers_);
    InstallMinefieldRules(*this);
}

TGameWorld::~TGameWorld() = default;

void TGameWorld::Seed(std::uint64_t seed) {
    seed_ = seed;
    random_->Seed(seed);
    cosmetic_.Seed(seed ^ kCosmeticStream);
}

void TGameWorld::UseGenerator(std::unique_ptr<core::TRandomGenerator> generator) {
    if (generator) {
        random_ = std::move(generator);
    }
}

void TGameWorld::InstallOpponent(std::unique_ptr<IComputerOpponent> opponent) {
    opponent_ = opponent ? std::move(opponent) : std::make_unique<THoldingOpponent>();
}

int TGameWorld::ScenarioYear() const {
    return core::DecodeDateTime(Clock).year;
}

// ---- Ownership ------------------------------------------------------------------------------

template <typename T>
T& TGameWorld::Join(std::vector<std::unique_ptr<T>>& list, std::unique_ptr<T> item) {
    item->Id = decltype(item->Id)(nextId_++);
    list.push_back(std::move(item));
    return *list.back();
}

TFightingShip& TGameWorld::AddShip(std::unique_ptr<TFightingShip> ship) {
    TFightingShip& joined = Join(Ships, std::move(ship));
    joined.Marker->SetRef({map::TMarkerKind::Ship, joined.Id.Value});
    return joined;
}

TDivision& TGameWorld::AddDivision(std::unique_ptr<TDivision> division) {
    TDivision& joined = Join(Divisions, std::move(division));
    if (joined.FlagMarker) {
        joined.FlagMarker->SetRef({map::TMarkerKind::Division, joined.Id.Value});
    }
    return joined;
}

TForce& TGameWorld::AddForce(std::unique_ptr<TForce> force) {
    return Join(Forces, std::move(force));
}

TObjectiveCondition& TGameWorld::AddObjective(std::unique_ptr<TObjectiveCondition> objective) {
    TObjectiveCondition& joined = Join(Objectives, std::move(objective));
    joined.Marker->SetRef({map::TMarkerKind::Objective, joined.Id.Value});
    return joined;
}

campaign::TMinefield& TGameWorld::AddMinefield(std::unique_ptr<campaign::TMinefield> field) {
    campaign::TMinefield& joined = Join(Minefields, std::move(field));
    joined.Marker->SetRef({map::TMarkerKind::Minefield, joined.Id.Value});
    return joined;
}

campaign::TSearchArea& TGameWorld::AddSearchArea(std::unique_ptr<campaign::TSearchArea> area) {
    campaign::TSearchArea& joined = Join(SearchAreas, std::move(area));
    joined.Marker->SetRef({map::TMarkerKind::SearchArea, joined.Id.Value});
    return joined;
}

TSmokeFloat& TGameWorld::AddSmokeFloat(std::unique_ptr<TSmokeFloat> smoke) {
    TSmokeFloat& joined = Join(SmokeFloats, std::move(smoke));
    joined.Marker->SetRef({map::TMarkerKind::SmokeFloat, joined.Id.Value});
    return joined;
}

TReport& TGameWorld::AddReport(std::unique_ptr<TReport> report, bool forPlayer) {
    auto& list = forPlayer ? PlayerReports : ComputerReports;
    report->Id = TReportId(nextId_++);
    report->Marker->SetRef({map::TMarkerKind::Report, report->Id.Value});
    list.insert(list.begin(), std::move(report));
    return *list.front();
}

void TGameWorld::AddSubmarine(std::unique_ptr<campaign::TSubmarine> submarine) {
    Submarines.push_back(std::move(submarine));
}

TTorpedo& TGameWorld::AddTorpedo(std::unique_ptr<TTorpedo> torpedo) {
    TTorpedo& joined = Join(Torpedoes, std::move(torpedo));
    joined.Marker->SetRef({map::TMarkerKind::Torpedo, joined.Id.Value});
    return joined;
}

TFightingShip* TGameWorld::FindShip(combat::TShipId id) const {
    return FindById(Ships, id);
}

TFightingShip* TGameWorld::FindSunkShip(combat::TShipId id) const {
    return FindById(SunkShips, id);
}

TDivision* TGameWorld::FindDivision(combat::TDivisionId id) const {
    return FindById(Divisions, id);
}

TForce* TGameWorld::FindForce(combat::TForceId id) const {
    return FindById(Forces, id);
}

TObjectiveCondition* TGameWorld::FindObjective(TObjectiveId id) const {
    return FindById(Objectives, id);
}

TReport* TGameWorld::FindReport(TReportId id) const {
    TReport* report = FindById(PlayerReports, id);
    return report != nullptr ? report : FindById(ComputerReports, id);
}

campaign::TMinefield* TGameWorld::FindMinefield(core::TEntityId<campaign::TMinefieldTag> id) const {
    return FindById(Minefields, id);
}

TDivision* TGameWorld::DivisionOfShip(const TFightingShip* ship) const {
    for (const auto& division : Divisions) {
        if (std::find(division->Ships.begin(), division->Ships.end(), ship) !=
            division->Ships.end()) {
            return division.get();
        }
    }
    return nullptr;
}

void TGameWorld::RetireShip(TFightingShip* ship) {
    const auto owned =
        std::find_if(Ships.begin(), Ships.end(), [ship](const auto& s) { return s.get() == ship; });
    if (ship == nullptr || owned == Ships.end()) {
        return;
    }
    for (auto& d : Divisions) {
        Erase(d->Ships, ship);
        if (d->RescueTarget == ship) {
            d->RescueTarget = nullptr;
        }
        if (d->ThreatShip == ship) {
            d->ThreatShip = nullptr;
        }
        if (d->TorpedoAttackTarget == ship) {
            d->TorpedoAttackTarget = nullptr;
        }
    }
    for (auto& s : Ships) {
        Erase(s->Sighted, ship);
        Erase(s->NearFriends, ship);
        for (TFightingShip** target :
             {&s->CurrentTarget, &s->SecondaryPortTarget, &s->SecondaryStarboardTarget,
              &s->TertiaryPortTarget, &s->TertiaryStarboardTarget}) {
            if (*target == ship) {
                *target = nullptr;
            }
        }
        if (s->LastGunTarget == ship) {
            s->LastGunTarget = nullptr;
        }
    }
    for (auto& f : Forces) {
        if (f->CachedFlagship() == ship) {
            f->FlagDivision();
        }
        Erase(f->KnownEnemies, ship);
    }
    // What it saw and aimed at goes with it: a ship on the sunk list refers to nothing alive.
    ship->Sighted.clear();
    ship->NearFriends.clear();
    ship->CurrentTarget = nullptr;
    ship->SecondaryPortTarget = nullptr;
    ship->SecondaryStarboardTarget = nullptr;
    ship->TertiaryPortTarget = nullptr;
    ship->TertiaryStarboardTarget = nullptr;
    ship->InitialDivision = nullptr;
    ship->Marker->SetHidden(true);
    SunkShips.push_back(std::move(*owned));
    Ships.erase(owned);
}

void TGameWorld::RemoveDivision(TDivision* division) {
    if (division == nullptr) {
        return;
    }
    for (auto& d : Divisions) {
        if (d->LeadDiv == division) {
            d->LeadDiv = nullptr;
        }
        if (d->TargetDivision == division) {
            d->TargetDivision = nullptr;
        }
    }
    for (auto& s : Ships) {
        if (s->InitialDivision == division) {
            s->InitialDivision = nullptr;
        }
    }
    for (auto& f : Forces) {
        Erase(f->Divisions, division);
        f->FlagDivision();
    }
    EraseOwned(Divisions, division);
}

void TGameWorld::RemoveForce(TForce* force) {
    if (force == nullptr) {
        return;
    }
    for (auto& d : Divisions) {
        if (d->Force == force) {
            d->Force = nullptr;
        }
    }
    for (auto& f : Forces) {
        if (f->MainForce == force) {
            f->MainForce = nullptr;
        }
    }
    for (auto& o : Objectives) {
        if (o->Force == force) {
            o->Force = nullptr;
        }
    }
    EraseOwned(Forces, force);
}

void TGameWorld::RemoveSmokeFloat(TSmokeFloat* smoke) {
    EraseOwned(SmokeFloats, smoke);
}

void TGameWorld::RemoveTorpedo(TTorpedo* torpedo) {
    EraseOwned(Torpedoes, torpedo);
}

void TGameWorld::Clear() {
    // References first, owners last: forces and divisions point at ships, and the chart's
    // layers hold the markers the things own.
    Log.Clear();
    Journal.Clear();
    GunneryLog.Clear();
    TorpedoLog.Clear();
    GunDataWarnings.reset();
    FireLines.clear();
    SmokeFloats.clear();
    Torpedoes.clear();
    SearchAreas.clear();
    Minefields.clear();
    Objectives.clear();
    PlayerReports.clear();
    ComputerReports.clear();
    Submarines.clear();
    Forces.clear();
    Divisions.clear();
    Ships.clear();
    SunkShips.clear();
    Chart.Reset();
    InstallMinefieldRules(*this);
    Nations = designs::TNationsTable();
    Sides = {};
    Environment = TEnvironmentState();
    SightingPairs.Close();
    Clock = 0.0;
    TimeElapsed = 0;
    Length = kDefaultLength;
    PlayerSide = 0;
    Campaign = false;
    MinutesToRun = 0;
    MinuteReady = true;
    PausePending = false;
    SubStepsLeft = 0;
    DecideForAll = false;
    QuietMinutes = 0;
    ScenarioFinished = false;
    ObjectiveReached = false;
    ObjectiveFailed = false;
    EndMessage.clear();
    AllHome = {};
    RescueYesToAll = false;
    RescueNoToAll = false;
    RunTimerEnabled = false;
    SubStepTimerEnabled = false;
    SpeedIndex = kNormalSpeed;
    ApplyGameSpeed(kNormalSpeed);
    opponent_ = std::make_unique<THoldingOpponent>();
    nextId_ = 1;
    Seed(seed_);
}

// ---- What the rules ask ---------------------------------------------------------------------

const designs::TNation& TGameWorld::NationOf(const TFightingShip& ship) const {
    return Nations.At(ship.Nation);
}

std::vector<TDivision*> TGameWorld::AllDivisions() const {
    std::vector<TDivision*> all;
    all.reserve(Divisions.size());
    for (const auto& d : Divisions) {
        all.push_back(d.get());
    }
    return all;
}

int TGameWorld::VisibilityRange(const TFightingShip& ship, bool weatherJitter) {
    return engine::VisibilityRange(*this, ship, weatherJitter);
}

bool TGameWorld::NearestBase(const TFightingShip&, map::TGeoPos&, std::string&) {
    return false;
}

bool TGameWorld::WaypointArrivalAllowed(const TDivision& division) {
    return opponent_->WaypointArrivalAllowed(*this, division);
}

bool TGameWorld::PlayerMaySee(const TFightingShip& ship) const {
    return PlayerSide == kWatchingSide || ship.Side == PlayerSide;
}

int TGameWorld::ShipsAtSea(int side) const {
    int count = 0;
    for (const auto& d : Divisions) {
        if (d->Side != side || d->Side == kNeutralSide) {
            continue;
        }
        for (const TFightingShip* s : d->Ships) {
            count += s->IsSinkingOrSunk() ? 0 : 1;
        }
    }
    return count;
}

// ---- Running the clock ----------------------------------------------------------------------

void TGameWorld::RunMinutes(int count) {
    if (ScenarioFinished) {
        Messages().Inform("Scenario is finished!");
        return;
    }
    ApplySpeedCap(*this);
    MinuteReady = true;
    PausePending = false;
    MinutesToRun = count;
    RunTimerEnabled = true;
}

void TGameWorld::RequestPause() {
    if (RunTimerEnabled) {
        PausePending = true;
    }
}

void TGameWorld::SetGameSpeed(int index) {
    const int clamped = std::clamp(index, kSlowestSpeed, kFastestSpeed);
    if (clamped != SpeedIndex) {
        Journal.Record(Now(), "speed " + std::to_string(clamped));
    }
    ApplyGameSpeed(clamped);
}

void TGameWorld::ApplyGameSpeed(int index) {
    const int before = GameSpeed(SpeedIndex).SubStepsPerMinute();
    SpeedIndex = std::clamp(index, kSlowestSpeed, kFastestSpeed);
    const TGameSpeed& speed = GameSpeed(SpeedIndex);
    // A minute already in motion finishes at the new pace: what is left of it is cut into the
    // new speed's sub-steps, so the ships still cover one minute's run in all.
    if (SubStepsLeft > 0) {
        SubStepsLeft = std::max(1, SubStepsLeft * speed.SubStepsPerMinute() / before);
    }
    if (SpeedIndex < 3) {
        TorpedoCheckPeriod = std::max(1, speed.SubStepsPerMinute() / 10);
    }
}

void TGameWorld::RunTimerTick() {
    if (MinutesToRun > 0 && MinuteReady) {
        StartMinute();
    }
    if (MinutesToRun == 0) {
        RunTimerEnabled = false;
    }
    if (PausePending) {
        MinutesToRun = 0;
        RunTimerEnabled = false;
    }
}

void TGameWorld::StartMinute() {
    RunStartOfMinute(*this);
}

void TGameWorld::SubStepTick() {
    // At the fast speeds markers, wakes and tracks are redrawn only on some sub-steps; ships
    // steer on every P-th sub-step.
    const bool fullStep =
        SpeedIndex <= kNormalSpeed || (SubStepsLeft % (SpeedIndex - 1) == 0) || SubStepsLeft == 1;
    const bool steering = SubStepsLeft % GameSpeed(SpeedIndex).P == 0;
    TPhaseProfile::Time(Profile, "MoveAllShips", [&] { MoveAllShips(*this, fullStep, steering); });
    if (SpeedIndex <= kFastSpeed) {
        const bool check = SpeedIndex > kNormalSpeed || SubStepsLeft % TorpedoCheckPeriod == 0;
        TPhaseProfile::Time(Profile, "MoveTorpedoes", [&] {
            core::RunGuarded(Messages(), "MoveTorpedoes", "", [&] { MoveTorpedoes(*this, check); });
        });
    }
    --SubStepsLeft;
    if (SubStepsLeft <= 0) {
        SubStepTimerEnabled = false;
        FinishMinute();
        SubStepsLeft = 0;
    }
}

void TGameWorld::FinishMinute() {
    RunEndOfMinute(*this);
}

void TGameWorld::EndScenario(const std::string& message) {
    engine::EndScenario(*this, message);
}

int TGameWorld::RunHeadless(int minutes) {
    const int start = TimeElapsed;
    RunMinutes(minutes);
    // The desktop program's two timers, as one loop: a sub-step whenever a minute is in
    // motion, otherwise a run-timer event. Nothing waits.
    while (RunTimerEnabled || SubStepTimerEnabled) {
        if (SubStepTimerEnabled) {
            SubStepTick();
        } else {
            RunTimerTick();
        }
    }
    return TimeElapsed - start;
}

int TGameWorld::RunWholeMinutes(int minutes, const std::function<void()>& afterMinute) {
    const int start = TimeElapsed;
    while (TimeElapsed - start < minutes && !ScenarioFinished) {
        if (RunHeadless(1) == 0) {
            break;
        }
        if (afterMinute) {
            afterMinute();
        }
    }
    return TimeElapsed - start;
}

std::string TGameWorld::ClockText() const {
    return core::FormatDateTime(Clock);
}

std::string TGameWorld::ElapsedText() const {
    return "Time elapsed " + std::to_string(TimeElapsed) + " (" + std::to_string(Length) + ")";
}

} // namespace tarnwake::engine
