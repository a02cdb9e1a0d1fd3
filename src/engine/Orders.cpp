#include "engine/Orders.h"

#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Text.h"
#include "designs/ShipTypes.h"
#include "engine/Detach.h"
#include "engine/GameWorld.h"
#include "engine/Movement.h"
#include "engine/Torpedoes.h"
#include "map/Geometry.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;

namespace {

constexpr int kFullCircle = 360;
// Smoke screens and fire discipline orders came into the fleets' signal books after 1907.
constexpr int kFirstSmokeOrderYear = 1908;

constexpr const char* kDivisionWord = "division";
constexpr const char* kDivisionTargetWord = "division-target";
constexpr const char* kShipTargetWord = "ship-target";
constexpr const char* kEndGameWord = "end-game";
constexpr const char* kDetachWord = "detach";
constexpr const char* kTorpedoWord = "torpedoes";

TOrderResult Refused(std::string text) {
    return {false, std::move(text)};
}

bool IsForceFlagshipDivision(const TDivision& division) {
    return division.Force != nullptr && division.Flagship() != nullptr &&
           division.Force->CachedFlagship() == division.Flagship();
}

// Whether a field would change what the division has now.
template <typename T, typename U> bool Changes(const std::optional<T>& field, const U& now) {
    return field.has_value() && !(*field == now);
}

TOrderResult ApplyDivisionOrder(TGameWorld& world, const TDivisionOrder& order) {
    TDivision* d = world.FindDivision(order.Division);
    if (d == nullptr) {
        return Refused(kNoDivisionSelected);
    }
    if (world.PlayerSide == kWatchingSide || d->Side != world.PlayerSide || d->IsNeutral()) {
        return Refused(kUnderAIControl);
    }
    if (!OrdersAllowed(world, d->Side)) {
        return Refused("No orders can be given before the enemy is sighted!");
    }
    const int year = world.ScenarioYear();
    const int realism = world.Preferences.RealismSetting;
    const bool aiAfter = order.AIControl.value_or(d->AIControl);

    // What the orders window would not let the player change is refused as a whole.
    if (Changes(order.AIControl, d->AIControl)) {
        if (d->LockedAI && !*order.AIControl) {
            return Refused(kUnderAIControl);
        }
        if (*order.AIControl && realism == kRealismAdmiral && IsForceFlagshipDivision(*d)) {
            return Refused("In Admiral's mode the force flagship's division stays under your "
                           "command!");
        }
    }
    // A division the computer steers, and goes on steering, takes no course of the player's.
    if (d->AIControl && aiAfter &&
        (Changes(order.Course, d->Course) || Changes(order.Speed, d->Speed) ||
         Changes(order.Formation, d->Formation) || Changes(order.TurnTogether, d->TurnTogether))) {
        return Refused(kUnderAIControl);
    }
    if (order.Course && (*order.Course < 0 || *order.Course > kFullCircle)) {
        return Refused(kIllegalCourse);
    }
    if (order.Formation && !d->FormationAllowed(*order.Formation, year)) {
        const TFightingShip* flag = d->Flagship();
        return Refused(
            "Formation " + combat::FormationText(*order.Formation) + " is not allowed for a " +
            designs::ShipTypeCode(flag != nullptr ? designs::TypeIndex(flag->ShipType) : -1,
                                  world.Messages()) +
            "-division");
    }
    const bool fireOrders = order.MakeSmoke || order.HoldFireMinutes || order.HoldTorpedoFire;
    if (fireOrders && (Changes(order.MakeSmoke, d->MakeSmoke) ||
                       Changes(order.HoldFireMinutes, d->HoldFireMinutes) ||
                       Changes(order.HoldTorpedoFire, d->HoldTorpedoFire))) {
        if (!SmokeAndFireOrdersAllowed(world, *d, aiAfter)) {
            return Refused("Smoke and fire orders are given only to light cruiser and "
                           "destroyer divisions under your command!");
        }
    }
    TDivision* lead = nullptr;
    if (order.Lead && *order.Lead) {
        lead = world.FindDivision(*order.Lead);
        if (lead == nullptr || lead == d || lead->Force != d->Force) {
            return Refused("The lead division must be another division of the same force!");
        }
    }
    if (order.Role) {
        if (*order.Role < combat::roleIndependent || *order.Role > combat::rolePatrol) {
            return Refused(combat::RoleText(*order.Role));
        }
        // A role the division may not take falls back to "Independent", and the rest of the
        // order is not given.
        if (!d->RoleAllowed(*order.Role, year)) {
            const TFightingShip* flag = d->Flagship();
            d->Role = combat::roleIndependent;
            return {false, "Role " + combat::RoleText(*order.Role) + " is not allowed for a " +
                               designs::ShipTypeCode(
                                   flag != nullptr ? designs::TypeIndex(flag->ShipType) : -1,
                                   world.Messages()) +
                               "-division"};
        }
    }

    if (order.AIControl) {
        d->AIControl = *order.AIControl;
    }
    if (order.Role) {
        d->Role = *order.Role;
    }
    if (order.Formation) {
        d->Formation = *order.Formation;
    }
    if (order.Course) {
        SetDivisionCourse(world, *d, *order.Course % kFullCircle);
    }
    if (order.TurnTogether) {
        d->TurnTogether = *order.TurnTogether;
    }
    if (order.Speed) {
        d->Speed = std::clamp(*order.Speed, 0, std::max(0, d->FastestSpeed()));
    }
    if (order.Lead && d->AIControl) {
        d->LeadDiv = lead;
    }
    if (order.PatrolHere && d->Role == combat::rolePatrol && d->Flagship() != nullptr) {
        d->Objective = d->Flagship()->Position();
    }
    if (order.FlotillaAttack && d->Force != nullptr && IsForceFlagshipDivision(*d)) {
        d->Force->FlotillaAttack = *order.FlotillaAttack;
    }
    if (order.MakeSmoke) {
        d->MakeSmoke = *order.MakeSmoke;
    }
    if (order.HoldFireMinutes) {
        d->HoldFireMinutes = std::max(0, *order.HoldFireMinutes);
    }
    if (order.HoldTorpedoFire) {
        d->HoldTorpedoFire = *order.HoldTorpedoFire;
    }
    return {true, {}};
}

TOrderResult ApplyDivisionTarget(TGameWorld& world, const TDivisionTargetOrder& order) {
    TDivision* d = world.FindDivision(order.Division);
    if (d == nullptr) {
        return Refused(kNoDivisionSelected);
    }
    if (world.Preferences.RealismSetting == kRealismAdmiral) {
        return Refused("No manual targeting on this setting!");
    }
    if (d->Side != world.PlayerSide) {
        return Refused(kUnderAIControl);
    }
    TDivision* target = world.FindDivision(order.Target);
    if (target == nullptr || target->Side == d->Side || target->IsNeutral()) {
        return Refused("Select an enemy division as the target!");
    }
    d->TargetDivision = target;
    d->TargetSetByPlayer = true;
    return {true, {}};
}

TOrderResult ApplyShipTarget(TGameWorld& world, const TShipTargetOrder& order) {
    TFightingShip* ship = world.FindShip(order.Ship);
    if (ship == nullptr) {
        return Refused("No ship selected");
    }
    if (world.Preferences.RealismSetting != kRealismCaptain) {
        return Refused("No manual targeting for ships on this setting!");
    }
    if (ship->Side != world.PlayerSide) {
        return Refused("Ship is under AI control!");
    }
    TFightingShip* target = world.FindShip(order.Target);
    if (target == nullptr || target->Side == ship->Side) {
        return Refused("Select an enemy ship as the target!");
    }
    ship->CurrentTarget = target;
    ship->MainTargetSetByPlayer = true;
    return {true, {}};
}

TOrderResult ApplyEndGame(TGameWorld& world) {
    if (world.ScenarioFinished) {
        return Refused("Scenario is finished!");
    }
    world.RunTimerEnabled = false;
    world.MinutesToRun = 0;
    world.ScenarioFinished = true;
    return {true, {}};
}

TOrderResult ApplyDetach(TGameWorld& world, const TDetachOrder& order) {
    TFightingShip* ship = world.FindShip(order.Ship);
    if (ship == nullptr) {
        return Refused("No ship selected");
    }
    if (world.PlayerSide == kWatchingSide || ship->Side != world.PlayerSide) {
        return Refused("Ship is under AI control!");
    }
    if (std::string refusal = DetachRefusal(world, *ship); !refusal.empty()) {
        return Refused(std::move(refusal));
    }
    return {DetachCommand(world, *ship), {}};
}

TOrderResult ApplyTorpedoLaunch(TGameWorld& world, const TTorpedoOrder& order) {
    TFightingShip* ship = world.FindShip(order.Ship);
    if (ship == nullptr) {
        return Refused("No ship selected");
    }
    if (world.Preferences.RealismSetting != kRealismCaptain) {
        return Refused("No manual torpedo fire on this setting!");
    }
    if (world.PlayerSide == kWatchingSide || ship->Side != world.PlayerSide) {
        return Refused("Ship is under AI control!");
    }
    TFightingShip* target = world.FindShip(order.Target);
    if (target == nullptr || target->Side == ship->Side) {
        return Refused("Select an enemy ship as the target!");
    }
    if (ship->FiredTorpedoesThisMinute) {
        return Refused(kMountFiredThisTurn);
    }
    if (order.Mount < 0 || order.Mount >= static_cast<int>(ship->TorpedoMounts.size()) ||
        order.Course < 0 || order.Course >= kFullCircle) {
        return Refused(kNoMountSelected);
    }
    const designs::TFightingTorpedoMount& mount =
        ship->TorpedoMounts[static_cast<std::size_t>(order.Mount)];
    if (!combat::MountReady(mount)) {
        return Refused("Expended");
    }
    if (!designs::MountCanFire(mount.Pos, map::AddBearing(order.Course, -ship->Course()))) {
        return Refused("Out of arc");
    }
    const TLaunchResult launch =
        LaunchFromMount(world, *ship, order.Mount, true,
                        order.Low ? combat::TTorpedoSetting::Low : combat::TTorpedoSetting::High,
                        order.Course, *target);
    if (!launch.Launched) {
        return Refused(launch.Refusal);
    }
    ship->FiredTorpedoesThisMinute = true;
    return {true, {}};
}

// ---- Text ----------------------------------------------------------------------------------

void Put(std::ostringstream& out, const char* key, const std::optional<int>& value) {
    if (value) {
        out << ' ' << key << '=' << *value;
    }
}

void Put(std::ostringstream& out, const char* key, const std::optional<bool>& value) {
    if (value) {
        out << ' ' << key << '=' << (*value ? 1 : 0);
    }
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ') {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

// Reads "key=value" pairs into `take(key, value)`, which answers whether it knew the key.
template <typename Take>
bool ReadPairs(const std::vector<std::string_view>& words, std::size_t from, Take take,
               std::string& error) {
    for (std::size_t i = from; i < words.size(); ++i) {
        const std::string_view word = words[i];
        const std::size_t eq = word.find('=');
        const auto value =
            eq == std::string_view::npos ? std::nullopt : Number(word.substr(eq + 1));
        if (!value) {
            error = "\"" + std::string(word) + "\" is not key=number";
            return false;
        }
        if (!take(word.substr(0, eq), *value)) {
            error = "unknown key or bad value \"" + std::string(word) + "\"";
            return false;
        }
    }
    return true;
}

bool Flag(int value, std::optional<bool>& field, std::string& error) {
    if (value != 0 && value != 1) {
        error = "a flag is 0 or 1";
        return false;
    }
    field = value == 1;
    return true;
}

} // namespace

bool OrdersAllowed(const TGameWorld& world, int side) {
    if (!world.Environment.NoOrdersBS) {
        return true;
    }
    return side >= 0 && side < static_cast<int>(world.Environment.FirstSighting.size()) &&
           world.Environment.FirstSighting[static_cast<std::size_t>(side)];
}

bool SmokeAndFireOrdersAllowed(const TGameWorld& world, const TDivision& division, bool aiControl) {
    const TFightingShip* flag = division.Flagship();
    const bool lightCraft = flag != nullptr && (flag->ShipType == designs::TShipType::CL ||
                                                flag->ShipType == designs::TShipType::DD);
    return lightCraft && world.Preferences.RealismSetting > kRealismAdmiral && !aiControl &&
           OrdersAllowed(world, division.Side) && world.ScenarioYear() >= kFirstSmokeOrderYear;
}

TOrderResult IssueOrder(TGameWorld& world, const TOrder& order) {
    const TJournalPoint at = world.Now();
    TOrderResult result;
    const bool caught = core::RunGuarded(world.Messages(), "IssueOrder", OrderText(order), [&] {
        result = std::visit(
            [&world](const auto& o) -> TOrderResult {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, TDivisionOrder>) {
                    return ApplyDivisionOrder(world, o);
                } else if constexpr (std::is_same_v<T, TDivisionTargetOrder>) {
                    return ApplyDivisionTarget(world, o);
                } else if constexpr (std::is_same_v<T, TShipTargetOrder>) {
                    return ApplyShipTarget(world, o);
                } else if constexpr (std::is_same_v<T, TDetachOrder>) {
                    return ApplyDetach(world, o);
                } else if constexpr (std::is_same_v<T, TTorpedoOrder>) {
                    return ApplyTorpedoLaunch(world, o);
                } else {
                    return ApplyEndGame(world);
                }
            },
            order);
    });
    if (!caught) {
        return Refused("The order could not be given.");
    }
    // A refused role still changed the division; the journal keeps the order as given, and the
    // replay refuses it again in the same way.
    const bool roleFellBack = std::holds_alternative<TDivisionOrder>(order) &&
                              std::get<TDivisionOrder>(order).Role && !result.Applied &&
                              result.Refusal.rfind("Role ", 0) == 0;
    if (result.Applied || roleFellBack) {
        world.Journal.Record(at, OrderText(order));
    }
    return result;
}

std::string OrderText(const TOrder& order) {
    std::ostringstream out;
    std::visit(
        [&out](const auto& o) {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, TDivisionOrder>) {
                out << kDivisionWord << ' ' << o.Division.Value;
                Put(out, "ai", o.AIControl);
                Put(out, "role", o.Role);
                Put(out, "formation", o.Formation);
                Put(out, "course", o.Course);
                Put(out, "turn-together", o.TurnTogether);
                Put(out, "speed", o.Speed);
                if (o.Lead) {
                    out << " lead=" << o.Lead->Value;
                }
                if (o.PatrolHere) {
                    out << " patrol-here=1";
                }
                Put(out, "flotilla-attack", o.FlotillaAttack);
                Put(out, "smoke", o.MakeSmoke);
                Put(out, "hold-fire", o.HoldFireMinutes);
                Put(out, "hold-torpedoes", o.HoldTorpedoFire);
            } else if constexpr (std::is_same_v<T, TDivisionTargetOrder>) {
                out << kDivisionTargetWord << ' ' << o.Division.Value
                    << " target=" << o.Target.Value;
            } else if constexpr (std::is_same_v<T, TShipTargetOrder>) {
                out << kShipTargetWord << ' ' << o.Ship.Value << " target=" << o.Target.Value;
            } else if constexpr (std::is_same_v<T, TDetachOrder>) {
                out << kDetachWord << ' ' << o.Ship.Value;
            } else if constexpr (std::is_same_v<T, TTorpedoOrder>) {
                out << kTorpedoWord << ' ' << o.Ship.Value << " mount=" << o.Mount
                    << " target=" << o.Target.Value << " low=" << (o.Low ? 1 : 0)
                    << " course=" << o.Course;
            } else {
                out << kEndGameWord;
            }
        },
        order);
    return out.str();
}

std::optional<TOrder> ParseOrder(std::string_view text, std::string& error) {
    const std::vector<std::string_view> words = Words(text);
    if (words.empty()) {
        error = "an empty order";
        return std::nullopt;
    }
    const std::string_view kind = words[0];
    if (kind == kEndGameWord) {
        if (words.size() != 1) {
            error = "end-game takes nothing more";
            return std::nullopt;
        }
        return TOrder(TEndGameOrder{});
    }
    const std::optional<int> id = words.size() > 1 ? Number(words[1]) : std::nullopt;
    if (!id || *id <= 0) {
        error = "\"" + std::string(kind) + "\" needs the id of what it orders";
        return std::nullopt;
    }
    if (kind == kDetachWord) {
        if (words.size() != 2) {
            error = "detach takes only the ship's id";
            return std::nullopt;
        }
        return TOrder(TDetachOrder{combat::TShipId(*id)});
    }
    if (kind == kTorpedoWord) {
        TTorpedoOrder o;
        o.Ship = combat::TShipId(*id);
        std::optional<bool> low;
        bool mount = false;
        bool target = false;
        bool course = false;
        const bool ok = ReadPairs(
            words, 2,
            [&](std::string_view key, int value) {
                std::string flagError;
                if (key == "mount") {
                    o.Mount = value;
                    mount = true;
                } else if (key == "target") {
                    o.Target = combat::TShipId(value);
                    target = true;
                } else if (key == "low") {
                    return Flag(value, low, flagError);
                } else if (key == "course") {
                    o.Course = value;
                    course = true;
                } else {
                    return false;
                }
                return true;
            },
            error);
        if (!ok) {
            return std::nullopt;
        }
        if (!mount || !target || !low || !course) {
            error = "torpedoes needs mount=, target=, low= and course=";
            return std::nullopt;
        }
        o.Low = *low;
        return TOrder(o);
    }
    if (kind == kDivisionWord) {
        TDivisionOrder o;
        o.Division = combat::TDivisionId(*id);
        const bool ok = ReadPairs(
            words, 2,
            [&](std::string_view key, int value) {
                std::string flagError;
                if (key == "ai") {
                    return Flag(value, o.AIControl, flagError);
                }
                if (key == "role") {
                    o.Role = value;
                } else if (key == "formation") {
                    o.Formation = value;
                } else if (key == "course") {
                    o.Course = value;
                } else if (key == "turn-together") {
                    return Flag(value, o.TurnTogether, flagError);
                } else if (key == "speed") {
                    o.Speed = value;
                } else if (key == "lead") {
                    o.Lead = combat::TDivisionId(value);
                } else if (key == "patrol-here") {
                    o.PatrolHere = value != 0;
                } else if (key == "flotilla-attack") {
                    return Flag(value, o.FlotillaAttack, flagError);
                } else if (key == "smoke") {
                    return Flag(value, o.MakeSmoke, flagError);
                } else if (key == "hold-fire") {
                    o.HoldFireMinutes = value;
                } else if (key == "hold-torpedoes") {
                    return Flag(value, o.HoldTorpedoFire, flagError);
                } else {
                    return false;
                }
                return true;
            },
            error);
        return ok ? std::optional<TOrder>(o) : std::nullopt;
    }
    if (kind == kDivisionTargetWord || kind == kShipTargetWord) {
        std::optional<int> target;
        const bool ok = ReadPairs(
            words, 2,
            [&](std::string_view key, int value) {
                if (key != "target") {
                    return false;
                }
                target = value;
                return true;
            },
            error);
        if (!ok) {
            return std::nullopt;
        }
        if (!target) {
            error = "\"" + std::string(kind) + "\" needs target=";
            return std::nullopt;
        }
        if (kind == kDivisionTargetWord) {
            return TOrder(
                TDivisionTargetOrder{combat::TDivisionId(*id), combat::TDivisionId(*target)});
        }
        return TOrder(TShipTargetOrder{combat::TShipId(*id), combat::TShipId(*target)});
    }
    error = "unknown order \"" + std::string(kind) + "\"";
    return std::nullopt;
}

} // namespace tarnwake::engine
