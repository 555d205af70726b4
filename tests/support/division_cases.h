// division_cases.h: divisions for the guarded-division tests of every platform: operands held in
// their own precision, the divisions that raise divide-by-zero and those over zero that do not,
// and the faults the guard must let through, named by trap so each platform gives its own codes.
#pragma once

#include <cfenv>
#include <cmath>
#include <cstddef>
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

// The floating-point exceptions by name, as bits, for the tables below: each platform's test
// maps them to its own trap bits and fault codes beside them.
enum Trap : unsigned {
  kInvalid = 1u << 0,
  kDivByZero = 1u << 1,
  kOverflow = 1u << 2,
  kUnderflow = 1u << 3,
  kInexact = 1u << 4,
};
inline constexpr unsigned kEveryTrap = kInvalid | kDivByZero | kOverflow | kUnderflow | kInexact;

// One platform's codes beside a trap: the bit that unmasks it and the code with which its fault
// reaches the caller's handler.
template <typename Bit, typename Code>
struct TrapCodes {
  unsigned trap;
  Bit bit;
  Code code;
};

// The platform's bits unmasking the traps named.
template <typename Bit, typename Code, std::size_t N>
Bit PlatformBits(const TrapCodes<Bit, Code> (&table)[N], unsigned traps) {
  Bit bits = 0;
  for (const TrapCodes<Bit, Code>& row : table) {
    if ((traps & row.trap) != 0) bits |= row.bit;
  }
  return bits;
}

// The platform's code for the fault of trap raised; none where no trap is raised.
template <typename Bit, typename Code, std::size_t N>
Code PlatformCode(const TrapCodes<Bit, Code> (&table)[N], unsigned raised, Code none) {
  for (const TrapCodes<Bit, Code>& row : table) {
    if (row.trap == raised) return row.code;
  }
  return none;
}

// The trap sets under which a division by zero must be absorbed: its own trap alone, and all.
inline constexpr unsigned kAbsorbingTrapSets[] = {kDivByZero, kEveryTrap};

// With traps unmasked, the divisions that must still be performed as with every trap masked.
inline std::vector<Expected> PerformedWithTrapsUnmasked() {
  std::vector<Expected> performed = kOtherDivisionsByZero;
  performed.push_back({Double(1.0, 4.0), 0.25, 0});
  performed.push_back({Single(-3.0f, 0.5f), -6.0, 0});
  return performed;
}

// A division under unmasked traps whose fault the guard must let through to the caller's own
// handler unchanged; raised is the exception that reaches it, 0 where none does.
struct Fault {
  const char* name;
  unsigned traps;
  Division division;
  unsigned raised;
};

inline const std::vector<Fault> kFaultsLetThrough = {
    {"0/0", kInvalid, Double(0.0, 0.0), kInvalid},
    {"0/0 with divide-by-zero also unmasked", kInvalid | kDivByZero, Single(0.0f, -0.0f), kInvalid},
    {"overflow", kOverflow, Double(1e300, 1e-300), kOverflow},
    {"single-precision overflow", kOverflow, Single(kFloatMax, 0.5f), kOverflow},
    {"underflow", kUnderflow, Double(1e-300, 1e300), kUnderflow},
    {"inexact", kInexact, Single(1.0f, 3.0f), kInexact},
    {"masked divide-by-zero beside an unmasked invalid", kInvalid, Double(1.0, 0.0), 0},
};

}  // namespace divisioncases
