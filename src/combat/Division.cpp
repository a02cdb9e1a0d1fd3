#include "combat/Division.h"

#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Rounding.h"

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

} // namespace tarnwake::combat
