// strict_ieee.h: refuses to compile code whose printed numbers would not be exact.
//
// The angles, the scale trace and the start-up report depend on one IEEE rounding per operation
// in the written precision. Behaviour cannot always expose a build that breaks this (clang at -O0
// accepts -ffast-math and still computes exactly), so such builds are refused outright.
#pragma once

#include <cfloat>

#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "strict IEEE arithmetic required: build without -ffast-math and -ffinite-math-only"
#endif
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "float and double operations must round in their own precision (FLT_EVAL_METHOD 0)"
#endif
