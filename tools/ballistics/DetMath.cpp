#include "DetMath.h"

#include <cmath>

namespace tarnwake::ballistics {

namespace {

// ln 2 split so that k * kLn2High is exact for the k this tool meets.
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kLn2 = 0.69314718055994530942;
constexpr double kSqrtHalf = 0.70710678118654752440;

} // namespace

double Exp(double x) {
    if (x > 700.0) {
        return HUGE_VAL;
    }
    if (x < -700.0) {
        return 0.0;
    }
    // x = k ln2 + r with |r| <= ln2 / 2, then e^r by its Taylor series.
    const double k = std::floor(x / kLn2 + 0.5);
    const double r = (x - k * kLn2High) - k * kLn2Low;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 24; ++n) {
        term = term * r / n;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

double Log(double x) {
    if (!(x > 0.0)) {
        return 0.0;
    }
    int exponent = 0;
    double m = std::frexp(x, &exponent); // x = m 2^e, m in [0.5, 1)
    if (m < kSqrtHalf) {
        m *= 2.0;
        exponent -= 1;
    }
    // ln m = 2 atanh(s), s = (m - 1) / (m + 1), |s| < 0.172.
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    double power = s;
    double sum = 0.0;
    for (int n = 1; n <= 41; n += 2) {
        sum += power / n;
        power *= s2;
    }
    return 2.0 * sum + exponent * kLn2;
}

double Pow(double x, double y) {
    if (!(x > 0.0)) {
        return 0.0;
    }
    return Exp(y * Log(x));
}

double Sin(double x) {
    double term = x;
    double sum = x;
    const double x2 = x * x;
    for (int n = 1; n <= 20; ++n) {
        term = -term * x2 / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double Cos(double x) {
    double term = 1.0;
    double sum = 1.0;
    const double x2 = x * x;
    for (int n = 1; n <= 20; ++n) {
        term = -term * x2 / ((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

double Atan(double x) {
    if (x < 0.0) {
        return -Atan(-x);
    }
    if (x > 1.0) {
        return kPi / 2.0 - Atan(1.0 / x);
    }
    // atan x = pi/4 + atan((x - 1) / (x + 1)) brings the argument below tan(pi/8).
    double offset = 0.0;
    if (x > 0.41421356237309504880) {
        offset = kPi / 4.0;
        x = (x - 1.0) / (x + 1.0);
    }
    const double x2 = x * x;
    double power = x;
    double sum = 0.0;
    for (int n = 0; n < 40; ++n) {
        const double term = power / (2 * n + 1);
        sum += (n % 2 == 0) ? term : -term;
        power *= x2;
    }
    return offset + sum;
}

} // namespace tarnwake::ballistics
