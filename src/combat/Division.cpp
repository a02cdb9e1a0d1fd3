#include "combat/Division.h"

#include "combat/BattleContext.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Rounding.h"
#include "designs/NationsTable.h"
#include "map/Geometry.h"
#include "map/GlobeUnits.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace tarnwake::combat {

using designs::TShipType;

namespace {

constexpr std::array<const char*, 6> kRoleTexts{"Independent", "Core",   "Support",
                                                "Scout",       "Screen", "Patrol"};
constexpr std::array<const char*, 5> kRoleShort{"Ind", "Cor", "Sup", "Sco", "Scr"};
constexpr std::array<const char*, 4> kFormationTexts{"Line ahead", "Line abreast", "Search line",
                                                     "Screen"};
constexpr std::array<const char*, 8> kStanceTexts{"DISENGAGE",
                                                  "INCREASE",
                                                  "HOLD",
                                                  "CLOSE",
                                                  "CLOSE RAPIDLY",
                                                  "AVOID THREAT",
                                                  "AVOID TORPEDO ATTACK",
                                                  "NOENEMYSIGHTED"};
// Destroyers were first trusted to screen a fleet from 1908.
constexpr int kFirstScreeningYear = 1908;
// Fuel rates are per hour; the fuel step runs every fifth minute and burns a twelfth.
constexpr int kFuelStepsPerHour = 12;

bool TypeIn(TShipType t, std::initializer_list<TShipType> types) {
    return std::find(types.begin(), types.end(), t) != types.end();
}

} // namespace

std::string RoleText(int role) {
    if (role < 0 || role >= static_cast<int>(kRoleTexts.size())) {
        return "Illegal Role value!";
    }
    return kRoleTexts[static_cast<std::size_t>(role)];
}

std::string RoleShortText(int role) {
    if (role < 0 || role >= static_cast<int>(kRoleShort.size())) {
        return {};
    }
    return kRoleShort[static_cast<std::size_t>(role)];
}

std::string FormationText(int formation) {
    if (formation < 0 || formation >= static_cast<int>(kFormationTexts.size())) {
        return {};
    }
    return kFormationTexts[static_cast<std::size_t>(formation)];
}

std::string StanceText(int stance) {
    if (stance < 0 || stance >= static_cast<int>(kStanceTexts.size())) {
        return "?";
    }
    return kStanceTexts[static_cast<std::size_t>(stance)];
}

std::optional<int> RoleFromText(std::string_view text) {
    for (std::size_t i = 0; i < kRoleTexts.size(); ++i) {
        if (text == kRoleTexts[i]) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::optional<int> FormationFromText(std::string_view text) {
    for (std::size_t i = 0; i < kFormationTexts.size(); ++i) {
        if (text == kFormationTexts[i]) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

TDivision::TDivision(std::string name, int side) : DivisionName(std::move(name)), Side(side) {
    Shortname = DivisionName;
}

int TDivision::FastestSpeed() const {
    int fastest = 0;
    for (const TFightingShip* s : Ships) {
        fastest = std::max(fastest, s->CurrentMaxSpeed());
    }
    return fastest;
}

int TDivision::SlowestSpeed() const {
    int slowest = INT_MAX;
    for (const TFightingShip* s : Ships) {
        slowest = std::min(slowest, s->CurrentMaxSpeed());
    }
    return slowest;
}

int TDivision::MedianSpeed() const {
    if (Ships.empty()) {
        return 0;
    }
    std::vector<int> speeds;
    speeds.reserve(Ships.size());
    for (const TFightingShip* s : Ships) {
        speeds.push_back(s->CurrentMaxSpeed());
    }
    std::sort(speeds.begin(), speeds.end());
    return speeds[(speeds.size() - 1) / 2];
}

bool TDivision::RoleAllowed(int role, int scenarioYear) const {
    const TFightingShip* flag = Flagship();
    if (flag == nullptr || role == roleIndependent || role == roleCore || role == rolePatrol) {
        return true;
    }
    const TShipType t = flag->ShipType;
    switch (role) {
    case roleSupport:
        return TypeIn(t, {TShipType::CL, TShipType::DD, TShipType::MS});
    case roleScout:
        return TypeIn(t, {TShipType::BC, TShipType::CA, TShipType::CL, TShipType::AMC});
    case roleScreen:
        if (scenarioYear >= kFirstScreeningYear) {
            return t == TShipType::BC || (t >= TShipType::CA && t <= TShipType::MS);
        }
        return TypeIn(t, {TShipType::BC, TShipType::CA, TShipType::CL, TShipType::AMC});
    default:
        return false;
    }
}

bool TDivision::FormationAllowed(int formation, int scenarioYear) const {
    const TFightingShip* flag = Flagship();
    if (formation != formScreen || flag == nullptr || scenarioYear >= kFirstScreeningYear) {
        return true;
    }
    return TypeIn(flag->ShipType, {TShipType::CA, TShipType::CL, TShipType::AMC});
}

std::string TDivision::TreeText() const {
    std::string text = DivisionName + " (" + RoleShortText(Role);
    if (LeadDiv != nullptr) {
        text += " " + LeadDiv->Shortname;
    }
    return text + ")";
}

void TDivision::ComputeFuelExpenditure() {
    const TFightingShip* flag = Flagship();
    if (flag == nullptr || flag->TimeToRaiseSteam > 0) {
        return;
    }
    const int burned = TFightingShip::FuelRate(flag->CurrentSpeed, flag->HSC) / kFuelStepsPerHour;
    for (TFightingShip* s : Ships) {
        s->CurrentEndurance -= burned;
    }
    UpdateEndurance();
}

void TDivision::UpdateEndurance() {
    if (Ships.empty()) {
        return;
    }
    int lowest = INT_MAX;
    for (const TFightingShip* s : Ships) {
        lowest = std::min(lowest, s->CurrentEndurance);
    }
    Endurance = lowest;
}

int TDivision::GetRemainingRange(int knots, core::IMessages& messages) const {
    try {
        if (Endurance == 0) {
            return 0;
        }
        const TFightingShip* flag = Flagship();
        const bool hsc = flag != nullptr && flag->HSC;
        const double hours = static_cast<double>(Endurance) / TFightingShip::FuelRate(knots, hsc);
        return static_cast<int>(core::Round(hours * knots));
    } catch (const std::exception& e) {
        messages.Error("Debug: Error in GetRemainingRange procedure!\rDivision: " + DivisionName +
                       "\n\n" + e.what());
        return 0;
    }
}

bool TDivision::AbeamStation(const IBattleContext& context) const {
    const TFightingShip* flag = Flagship();
    if (flag == nullptr || (flag->ShipType != TShipType::BB && flag->ShipType != TShipType::B) ||
        flag->SeenByPlayerThisMinute) {
        return false;
    }
    constexpr int kAmerica = 3;
    constexpr int kBritain = 0;
    constexpr int kBritishAbeamFromYear = 1917;
    return flag->Nation == kAmerica ||
           (flag->Nation == kBritain && context.ScenarioYear() >= kBritishAbeamFromYear);
}

std::string TDivision::Description() const {
    const TFightingShip* flag = Flagship();
    if (flag == nullptr) {
        return {};
    }
    std::string text = flag->SightingLevel < kTypeIdentified ? "Unknown ship type "
                                                             : flag->IdentifiedType + "-division ";
    const auto seen = std::count_if(Ships.begin(), Ships.end(), [](const TFightingShip* s) {
        return s->SightingLevel > kUnseen;
    });
    text += std::to_string(seen) + " ships. ";
    if (flag->SightingLevel == 3) {
        text += flag->ReportedClass + "-class";
    }
    return text;
}

std::string TDivision::DescriptionFrom(const TDivision& observer, IBattleContext& context) const {
    std::string text = Description();
    const TFightingShip* mine = observer.Flagship();
    const TFightingShip* theirs = Flagship();
    if (mine != nullptr && theirs != nullptr) {
        text += ".Range " +
                std::to_string(mine->GetRoundedRangeToShip(theirs, true, context.Random(),
                                                           context.Messages())) +
                " yds";
    }
    return text;
}

bool TDivision::CanReachPort(int knots, IBattleContext& context) const {
    try {
        const TFightingShip* flag = Flagship();
        map::TGeoPos base;
        std::string title;
        if (flag == nullptr || !context.NearestBase(*flag, base, title)) {
            return true;
        }
        const double miles = map::ToUnits(map::GreatCircleDistance(flag->Position(), base),
                                          map::TGlobeUnitTypes::NauticalMile);
        return miles < GetRemainingRange(knots, context.Messages());
    } catch (const std::exception& e) {
        context.Messages().Error("Debug: Error in CanReachPort procedure!\rDivision: " +
                                 DivisionName + "\n\n" + e.what());
        return true;
    }
}

int AreaSmokeLevel(int points) {
    constexpr int kHeavySmokePoints = 20;
    constexpr int kSmokePoints = 11;
    if (points > kHeavySmokePoints) {
        return 2;
    }
    return points > kSmokePoints ? 1 : 0;
}

TAreaSmoke AreaSmokeAround(const TDivision& division, const std::vector<TDivision*>& divisions) {
    constexpr int kThickSmoke = 40;
    constexpr int kSmoke = 30;
    TAreaSmoke smoke;
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr) {
        return smoke;
    }
    for (const TDivision* other : divisions) {
        const TFightingShip* otherFlag = other != nullptr ? other->Flagship() : nullptr;
        if (otherFlag == nullptr ||
            map::RangeYards(flag->Position(), otherFlag->Position()) >= kSmokeAreaYards) {
            continue;
        }
        if (other->Accusmoke > kThickSmoke) {
            smoke.Points += 2;
        } else if (other->Accusmoke > kSmoke) {
            smoke.Points += 1;
        }
    }
    smoke.Level = AreaSmokeLevel(smoke.Points);
    return smoke;
}

void TDivision::CheckFuelSituation(IBattleContext& context) {
    // The speed at which a squadron would make for home.
    constexpr int kHomewardSpeed = 18;
    try {
        TFightingShip* flag = Flagship();
        if (flag == nullptr) {
            return;
        }
        const bool tellPlayer = Force != nullptr && Force->PlayerSteered;
        if (!CanReachPort(kHomewardSpeed, context) && !WarnedForFuel) {
            WarnedForFuel = true;
            if (tellPlayer) {
                context.Messages().Inform(DivisionName +
                                          " has ships that should return to base to refuel!");
            }
        }
        const int percent = flag->FuelPercentage();
        if (percent < 50 && !flag->WarnedForFuelPercentage50) {
            flag->WarnedForFuelPercentage50 = true;
            if (tellPlayer) {
                context.Messages().Inform(flag->Name + " has less than 50% fuel remaining!");
            }
        }
        if (percent < 20 && !flag->WarnedForFuelPercentage20) {
            flag->WarnedForFuelPercentage20 = true;
            if (tellPlayer) {
                context.Messages().Inform(flag->Name + " has less than 20% fuel remaining!");
            }
        }
    } catch (const std::exception& e) {
        context.Messages().Error("Debug: Error in CheckFuelSituation procedure!Division: " +
                                 DivisionName + "\n\n" + e.what());
    }
}

} // namespace tarnwake::combat
