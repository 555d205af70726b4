// guarded_divide_test.cpp: the value holders' division on every platform: quotients rounded once in
// their own precision, and with every trap masked (the process's default) the IEEE quotient and
// flags. The platform's own files test it with traps unmasked.
#include <gtest/gtest.h>

#include <cfenv>
#include <type_traits>
#include <utility>
#include <vector>

#include "division_cases.h"
#include "numeric.h"

namespace {

using divisioncases::Describe;
using divisioncases::DivideOnce;
using divisioncases::Double;
using divisioncases::Expected;
using divisioncases::kDivisionsByZero;
using divisioncases::kInf;
using divisioncases::kNaN;
using divisioncases::kOtherDivisionsByZero;
using divisioncases::SameValue;
using divisioncases::Single;

// The interface admits a plain number only as a float beside a FloatValue.
template <typename A, typename B, typename = void>
struct Divisible : std::false_type {};
template <typename A, typename B>
struct Divisible<A, B, std::void_t<decltype(GuardedDivide(std::declval<A>(), std::declval<B>()))>>
    : std::true_type {};
static_assert(!std::is_convertible_v<float, FloatValue> &&
              !std::is_convertible_v<double, DoubleValue>);
static_assert(Divisible<float, FloatValue>::value && Divisible<FloatValue, float>::value);
static_assert(!Divisible<DoubleValue, double>::value && !Divisible<double, DoubleValue>::value &&
              !Divisible<float, float>::value && !Divisible<FloatValue, DoubleValue>::value);

TEST(GuardedDivideTest, QuotientsRoundOnceInTheirOwnPrecision) {
  EXPECT_EQ(GuardedDivide(DoubleValue(1.0), DoubleValue(4.0)), 0.25);
  const double floatThird = GuardedDivide(FloatValue(1.0f), FloatValue(3.0f));
  EXPECT_EQ(floatThird, 0.3333333432674408);
  EXPECT_NE(floatThird, 1.0 / 3.0);
  EXPECT_EQ(GuardedDivide(FloatValue(1.0f), FloatValue(10.0f)), 0.10000000149011612);
  EXPECT_EQ(GuardedDivide(DoubleValue(1.0), DoubleValue(3.0)), 1.0 / 3.0);
  EXPECT_EQ(GuardedDivide(2.0f, FloatValue(0.5f)), 4.0);
  EXPECT_EQ(GuardedDivide(FloatValue(2.0f), 0.5f), 4.0);
}

TEST(GuardedDivideTest, MaskedTrapsGiveTheIeeeQuotientAndFlags) {
  std::vector<Expected> cases = kDivisionsByZero;
  cases.insert(cases.end(), kOtherDivisionsByZero.begin(), kOtherDivisionsByZero.end());
  cases.push_back({Double(0.0, 0.0), kNaN, FE_INVALID});
  cases.push_back({Single(-0.0f, 0.0f), kNaN, FE_INVALID});
  cases.push_back({Double(1e300, 1e-300), kInf, FE_OVERFLOW | FE_INEXACT});
  for (const Expected& e : cases) {
    SCOPED_TRACE(Describe(e.division));
    std::feclearexcept(FE_ALL_EXCEPT);
    const double q = DivideOnce(e.division);
    const int flags = std::fetestexcept(FE_ALL_EXCEPT);
    EXPECT_TRUE(SameValue(q, e.quotient)) << q;
    EXPECT_EQ(flags, e.flags);
  }
}

}  // namespace
