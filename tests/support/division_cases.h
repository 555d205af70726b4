// division_cases.h: divisions for the guarded-division tests of every platform: operands held in
// their own precision, the divisions that raise divide-by-zero and those over zero that do not.
#pragma once

#include <cfenv>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "numeric.h"

namespace divisioncases {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kDoubleDenormal = std::numeric_limits<double>::denorm_min();
inline constexpr float kFloatInf = std::numeric_limits<float>::infinity();
inline constexpr float kFloatNaN = std::numeric_limits<float>::quiet_NaN();
inline constexpr float kFloatDenormal = std::numeric_limits<float>::denorm_min();
inline constexpr float kFloatMax = std::numeric_limits<float>::max();

enum class Precision { kSingle, kDouble };

// Operands are held in their own precision: with the underflow trap unmasked even narrowing an
// exact float denormal from double traps, so no conversion may happen near a division.
struct Division {
  Precision precision;
  float floatDividend;
  float floatDivisor;
  double doubleDividend;
  double doubleDivisor;
};

inline Division Single(float dividend, float divisor) {
  return {Precision::kSingle, dividend, divisor, 0.0, 0.0};
}

inline Division Double(double dividend, double divisor) {
  return {Precision::kDouble, 0.0f, 0.0f, dividend, divisor};
}

inline double DivideOnce(const Division& d) {
  if (d.precision == Precision::kSingle) {
    return GuardedDivide(FloatValue(d.floatDividend), FloatValue(d.floatDivisor));
  }
  return GuardedDivide(DoubleValue(d.doubleDividend), DoubleValue(d.doubleDivisor));
}

// For messages only; call it with every trap masked, as formatting may raise inexact.
inline std::string Describe(const Division& d) {
  std::ostringstream text;
  if (d.precision == Precision::kSingle) {
    text << "float " << d.floatDividend << " / " << d.floatDivisor;
  } else {
    text << "double " << d.doubleDividend << " / " << d.doubleDivisor;
  }
  return text.str();
}

// Bitwise equality, so that -0.0 differs from 0.0 and NaN matches NaN.
inline bool SameValue(double actual, double expected) {
  if (std::isnan(expected)) {
    return std::isnan(actual);
  }
  return actual == expected && std::signbit(actual) == std::signbit(expected);
}

struct Expected {
  Division division;
  double quotient;
  int flags;  // status flags left set, with every trap masked
};

// Finite non-zero over zero: the divisions that raise divide-by-zero.
inline const std::vector<Expected> kDivisionsByZero = {
    {Double(1.0, 0.0), kInf, FE_DIVBYZERO},
    {Double(-1.0, 0.0), -kInf, FE_DIVBYZERO},
    {Double(1.0, -0.0), -kInf, FE_DIVBYZERO},
    {Double(kDoubleDenormal, 0.0), kInf, FE_DIVBYZERO},
    {Single(1.0f, 0.0f), kInf, FE_DIVBYZERO},
    {Single(-1.0f, 0.0f), -kInf, FE_DIVBYZERO},
    {Single(-kFloatMax, -0.0f), kInf, FE_DIVBYZERO},
    {Single(kFloatDenormal, 0.0f), kInf, FE_DIVBYZERO},
};

// Over zero, yet no divide-by-zero: these are performed even with the trap unmasked.
inline const std::vector<Expected> kOtherDivisionsByZero = {
    {Double(kInf, 0.0), kInf, 0},       {Double(-kInf, 0.0), -kInf, 0},
    {Double(kNaN, 0.0), kNaN, 0},       {Single(-kFloatInf, -0.0f), kInf, 0},
    {Single(kFloatNaN, 0.0f), kNaN, 0},
};

}  // namespace divisioncases
