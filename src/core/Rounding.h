#pragma once

#include <cstdint>

namespace tarnwake::core {

// The rules round half to even ("banker's rounding") wherever they say Round:
// Round(2.5) = 2, Round(3.5) = 4, Round(-2.5) = -2.
std::int64_t Round(double x);

// a / b rounded half to even, exactly: Round(v x 0.87) must not depend on how 0.87 is stored, so
// the rules that scale by a decimal fraction give it as a ratio of whole numbers. b = 0 gives 0.
std::int64_t RoundRatio(std::int64_t a, std::int64_t b);

// Truncation toward zero, as the rules' Trunc.
std::int64_t Trunc(double x);

// Integer division truncating toward zero (the rules' div). Division by zero answers 0,
// so a zero divisor in a data file degrades one figure and never stops the game.
constexpr std::int64_t Div(std::int64_t a, std::int64_t b) {
    return b == 0 ? 0 : a / b;
}

// a * b / c with a 64-bit product, rounded to the nearest integer (halves away from zero).
// Like the platform routine the chart geometry was defined with, it answers -1 when c is 0
// or the result does not fit in 32 bits.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

} // namespace tarnwake::core
