#pragma once

// Elementary functions computed from IEEE-754 additions, multiplications and divisions only,
// in a fixed order. The standard library's exp, log and trigonometric functions may differ
// in the last bit between library versions and machines; the tables this tool writes must
// come out byte for byte the same everywhere, so it uses these instead. sqrt is exact in
// IEEE-754 and needs no replacement.

namespace tarnwake::ballistics {

inline constexpr double kPi = 3.14159265358979323846;

double Exp(double x);
// Natural logarithm; x must be positive (answers 0 otherwise).
double Log(double x);
// x to the power y for x > 0 (answers 0 otherwise).
double Pow(double x, double y);
// Sine and cosine for |x| up to a few radians (the tool needs 0..pi/2).
double Sin(double x);
double Cos(double x);
double Atan(double x);

} // namespace tarnwake::ballistics
