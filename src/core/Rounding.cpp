#include "core/Rounding.h"

#include <cmath>
#include <limits>

namespace tarnwake::core {

std::int64_t Round(double x) {
    if (!std::isfinite(x)) {
        return 0;
    }
    constexpr double kLimit = 9.2e18;
    if (x >= kLimit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (x <= -kLimit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    // nearbyint follows the current rounding mode, which is round-half-to-even unless
    // something changed it; rint-style rounding done by hand keeps this independent of that.
    const double floorValue = std::floor(x);
    const double diff = x - floorValue;
    auto result = static_cast<std::int64_t>(floorValue);
    if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0))) {
        ++result;
    }
    return result;
}

std::int64_t RoundRatio(std::int64_t a, std::int64_t b) {
    if (b == 0) {
        return 0;
    }
    if (b < 0) {
        a = -a;
        b = -b;
    }
    std::int64_t quotient = a / b;
    std::int64_t remainder = a % b;
    if (remainder < 0) { // make the remainder non-negative: floor division
        remainder += b;
        quotient -= 1;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > b || (twice == b && quotient % 2 != 0)) {
        quotient += 1;
    }
    return quotient;
}

std::int64_t Trunc(double x) {
    if (!std::isfinite(x)) {
        return 0;
    }
    constexpr double kLimit = 9.2e18;
    if (x >= kLimit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (x <= -kLimit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(x);
}

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t quotient = product / c;
    const std::int64_t remainder = product % c;
    // Round half away from zero: compare twice the remainder with the divisor.
    if (remainder != 0) {
        const std::int64_t twiceRem = remainder < 0 ? -2 * remainder : 2 * remainder;
        const std::int64_t absC = c < 0 ? -static_cast<std::int64_t>(c) : c;
        if (twiceRem >= absC) {
            quotient += ((product < 0) != (c < 0)) ? -1 : 1;
        }
    }
    if (quotient > std::numeric_limits<std::int32_t>::max() ||
        quotient < std::numeric_limits<std::int32_t>::min()) {
        return -1;
    }
    return static_cast<std::int32_t>(quotient);
}

} // namespace tarnwake::core
