#pragma once

#include "combat/Division.h"
#include "combat/FightingShip.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tarnwake::engine {

class TGameWorld;

// The player's standing orders for one division, as the orders panel and the division orders
// window give them. A field left empty stays as it is. Applied in this order: computer
// control, role, formation, course, turn-together, speed, lead, the patrol point, the force's
// flotilla attack, smoke and the fire orders.
struct TDivisionOrder {
    combat::TDivisionId Division;
    std::optional<bool> AIControl;
    std::optional<int> Role;
    std::optional<int> Formation;
    std::optional<int> Course; // degrees, 0..360 (360 is north)
    std::optional<bool> TurnTogether;
    std::optional<int> Speed; // knots; kept within what the division can make
    // Followed only under computer control; a zero id: no lead.
    std::optional<combat::TDivisionId> Lead;
    // A Patrol division keeps station where its flagship is when the order is given.
    bool PatrolHere = false;
    std::optional<bool> FlotillaAttack;
    std::optional<bool> MakeSmoke;
    std::optional<int> HoldFireMinutes;
    std::optional<bool> HoldTorpedoFire;
};

// A division's target division, chosen by the player.
struct TDivisionTargetOrder {
    combat::TDivisionId Division;
    combat::TDivisionId Target;
};

// A ship's main target, chosen by the player ("Captain's mode" only).
struct TShipTargetOrder {
    combat::TShipId Ship;
    combat::TShipId Target;
};

// The player ends the game before its time.
struct TEndGameOrder {};

// "Detach": the player sends a damaged ship home (after confirming it).
struct TDetachOrder {
    combat::TShipId Ship;
};

// "Fire" in the torpedo window ("Captain's mode" only): one mount of a ship fires its tubes at a
// target, at the fast setting or the slow (`Low`), on the true course the window worked out.
struct TTorpedoOrder {
    combat::TShipId Ship;
    int Mount = 0; // its place in the ship's list of mounts
    combat::TShipId Target;
    bool Low = false;
    int Course = 0;
};

using TOrder = std::variant<TDivisionOrder, TDivisionTargetOrder, TShipTargetOrder, TEndGameOrder,
                            TDetachOrder, TTorpedoOrder>;

// What became of an order: applied, or refused with the text the player is shown. A refused
// order changes nothing, but for a role the division may not take, which falls back to
// "Independent" as the orders window always did.
struct TOrderResult {
    bool Applied = false;
    std::string Refusal;
    explicit operator bool() const { return Applied; }
};

// The one way the player changes the game: checks the order, applies it or refuses it, and
// journals it with the point of the clock at which it took effect. A replay gives the same
// orders back through here.
TOrderResult IssueOrder(TGameWorld& world, const TOrder& order);

// Whether the player may give the divisions of a side orders: always, unless the scenario
// keeps them waiting for the side's first sighting.
bool OrdersAllowed(const TGameWorld& world, int side);
// Whether the smoke and fire orders may be given to the division: a light cruiser or destroyer
// division not under computer control (`aiControl`), above "Admiral's mode", after 1907, when
// the side may give orders.
bool SmokeAndFireOrdersAllowed(const TGameWorld& world, const combat::TDivision& division,
                               bool aiControl);

// The journal's text of an order ("division 12 course=130 speed=15"), and back. Reading
// refuses anything it does not know, with `error` saying what.
std::string OrderText(const TOrder& order);
std::optional<TOrder> ParseOrder(std::string_view text, std::string& error);

// Refusal texts the interface also shows on its own.
inline constexpr const char* kNoDivisionSelected = "No division selected";
inline constexpr const char* kUnderAIControl = "Division is under AI control!";
inline constexpr const char* kIllegalCourse = "Illegal value! Enter course as 0 - 360 degrees!";
inline constexpr const char* kMountFiredThisTurn =
    "Ship has fired mount this turn! Only one\rmount can be manually fired each turn.";
inline constexpr const char* kNoMountSelected = "No mount selected!";

} // namespace tarnwake::engine
