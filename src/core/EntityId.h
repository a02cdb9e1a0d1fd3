#pragma once

#include <compare>
#include <cstdint>
#include <functional>

namespace tarnwake::core {

// The stable number of one thing in a game: a ship, a division, a force, an objective... The
// world hands it out when the thing joins the game and never gives it to another, so a
// window, a list or the order journal can keep it and look the thing up again later, even
// after the thing has sunk or gone. Each kind has its own id type, so a ship's number is never
// taken for a division's. 0 is no thing.
template <typename Tag> struct TEntityId {
    std::int32_t Value = 0;

    constexpr TEntityId() = default;
    constexpr explicit TEntityId(std::int32_t value) : Value(value) {}
    constexpr explicit operator bool() const { return Value != 0; }
    constexpr auto operator<=>(const TEntityId&) const = default;
};

} // namespace tarnwake::core

template <typename Tag> struct std::hash<tarnwake::core::TEntityId<Tag>> {
    std::size_t operator()(const tarnwake::core::TEntityId<Tag>& id) const noexcept {
        return std::hash<std::int32_t>{}(id.Value);
    }
};
