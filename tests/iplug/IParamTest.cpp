#include "IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace
{
enum class Kind
{
  Double,
  Int,
  Enum,
  Bool
};

struct ParamSetup
{
  Kind kind;
  double def, min, max, step, shape;
};

IParam Make(const ParamSetup& s)
{
  IParam p;
  switch (s.kind)
  {
    case Kind::Double: p.InitDouble("d", s.def, s.min, s.max, s.step); break;
    case Kind::Int: p.InitInt("i", static_cast<int>(s.def), static_cast<int>(s.min), static_cast<int>(s.max)); break;
    case Kind::Enum: p.InitEnum("e", static_cast<int>(s.def), static_cast<int>(s.max)); break;
    case Kind::Bool: p.InitBool("b", s.def != 0.0); break;
  }
  p.SetShape(s.shape);
  return p;
}

struct NormCase
{
  const char* name;
  ParamSetup setup;
  double normalized;
  double expectedValue;
};

class SetNormalizedTable : public testing::TestWithParam<NormCase>
{
};

TEST_P(SetNormalizedTable, GivesPlainValue)
{
  const NormCase& c = GetParam();
  IParam p = Make(c.setup);
  p.SetNormalized(c.normalized);
  EXPECT_DOUBLE_EQ(p.Value(), c.expectedValue);
}

INSTANTIATE_TEST_SUITE_P(Shapes, SetNormalizedTable,
                         testing::Values(NormCase{"IntHalfRoundsUp", {Kind::Int, 0, 0, 3, 1, 1}, 0.5, 2.0},
                                         NormCase{"DoubleShape2", {Kind::Double, 0, 0, 1, 0.01, 2}, 0.5, 0.25},
                                         NormCase{
                                           "DoubleLinearNoRounding", {Kind::Double, 0, -10, 10, 1, 1}, 0.33, -3.4},
                                         NormCase{"DoubleShapeHalf", {Kind::Double, 0, 0, 100, 0.1, 0.5}, 0.25, 50.0},
                                         NormCase{"EnumOfFourSnaps", {Kind::Enum, 0, 0, 4, 1, 1}, 0.6, 2.0},
                                         NormCase{"BoolBelowHalf", {Kind::Bool, 0, 0, 1, 1, 1}, 0.49, 0.0},
                                         NormCase{"BoolHalfGoesUp", {Kind::Bool, 0, 0, 1, 1, 1}, 0.5, 1.0},
                                         NormCase{"AboveOneCappedAtMax", {Kind::Double, 0, 0, 2, 0.1, 1}, 1.5, 2.0},
                                         NormCase{"BelowZeroNotRaised", {Kind::Double, 0, 0, 2, 0.1, 1}, -0.5, -1.0}),
                         [](const testing::TestParamInfo<NormCase>& i) { return std::string(i.param.name); });

struct GetNormCase
{
  const char* name;
  ParamSetup setup;
  double value;
  double expected;
};

class GetNormalizedTable : public testing::TestWithParam<GetNormCase>
{
};

TEST_P(GetNormalizedTable, GivesZeroToOne)
{
  const GetNormCase& c = GetParam();
  IParam p = Make(c.setup);
  EXPECT_NEAR(p.GetNormalized(c.value), c.expected, 1e-12);
  p.Set(c.value);
  EXPECT_NEAR(p.GetNormalized(), c.expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
  Shapes, GetNormalizedTable,
  testing::Values(GetNormCase{"Linear", {Kind::Double, 0, -10, 10, 1, 1}, 5.0, 0.75},
                  GetNormCase{"Shape2InvertsSetNormalized", {Kind::Double, 0, 0, 1, 0.01, 2}, 0.25, 0.5},
                  GetNormCase{"BelowMinClampedBeforeShape", {Kind::Double, 0, 0, 1, 0.01, 2}, -3.0, 0.0},
                  GetNormCase{"AboveMaxClampedBeforeShape", {Kind::Double, 0, 0, 1, 0.01, 0.5}, 7.0, 1.0},
                  GetNormCase{"IntMiddle", {Kind::Int, 0, 0, 4, 1, 1}, 1.0, 0.25}),
  [](const testing::TestParamInfo<GetNormCase>& i) { return std::string(i.param.name); });

struct PrecisionCase
{
  const char* name;
  double step;
  int precision;
};

class PrecisionTable : public testing::TestWithParam<PrecisionCase>
{
};

TEST_P(PrecisionTable, FollowsStep)
{
  IParam p;
  p.InitDouble("x", 0, 0, 10, GetParam().step);
  EXPECT_EQ(p.GetPrecision(), GetParam().precision);
}

INSTANTIATE_TEST_SUITE_P(Steps, PrecisionTable,
                         testing::Values(PrecisionCase{"One", 1.0, 0}, PrecisionCase{"Tenth", 0.1, 1},
                                         PrecisionCase{"Hundredth", 0.01, 2}, PrecisionCase{"Thousandth", 0.001, 3},
                                         PrecisionCase{"Quarter", 0.25, 2}, PrecisionCase{"TenThousandth", 0.0001, 4},
                                         PrecisionCase{"TenMillionth", 0.0000001, 6}, PrecisionCase{"Tiny", 1e-10, 6},
                                         PrecisionCase{"Two", 2.0, 0}),
                         [](const testing::TestParamInfo<PrecisionCase>& i) { return std::string(i.param.name); });

struct DisplayCase
{
  const char* name;
  double value;
  bool normalized;
  bool withText;
  const char* expected;
};

class BoolDisplayTable : public testing::TestWithParam<DisplayCase>
{
};

TEST_P(BoolDisplayTable, ShowsTextOrNumber)
{
  IParam p;
  p.InitBool("Bypass", false);
  char out[MAX_PARAM_DISPLAY_LEN];
  const DisplayCase& c = GetParam();
  p.GetDisplayForHost(c.value, c.normalized, out, c.withText);
  EXPECT_STREQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, BoolDisplayTable,
                         testing::Values(DisplayCase{"OffText", 0, false, true, "off"},
                                         DisplayCase{"OnText", 1, false, true, "on"},
                                         DisplayCase{"OffNumber", 0, false, false, "0"},
                                         DisplayCase{"OnNumber", 1, false, false, "1"},
                                         DisplayCase{"TruncatedToOn", 1.9, false, true, "on"},
                                         DisplayCase{"NormalizedOne", 1.0, true, true, "on"},
                                         DisplayCase{"NoTextForTwo", 2, false, true, "2"}),
                         [](const testing::TestParamInfo<DisplayCase>& i) { return std::string(i.param.name); });

TEST(IParamDisplay, NumbersFollowPrecisionNegationAndShape)
{
  char out[MAX_PARAM_DISPLAY_LEN];
  IParam neg;
  neg.InitDouble("g", 3, -10, 10, 0.1);
  neg.NegateDisplay();
  neg.GetDisplayForHost(out);
  EXPECT_STREQ(out, "-3.0");

  IParam shaped;
  shaped.InitDouble("s", 0, 0, 100, 0.01);
  shaped.SetShape(2);
  shaped.GetDisplayForHost(0.5, true, out, false);  // 100 * 0.5^2, not rounded to the step
  EXPECT_STREQ(out, "25.00");

  IParam integer;
  integer.InitDouble("i", 0, -5, 5, 1);
  integer.GetDisplayForHost(-2.7, false, out);
  EXPECT_STREQ(out, "-2");  // truncation, not rounding
}

TEST(IParamDisplay, HugeValuesAreCutNotOverflowed)
{
  char out[MAX_PARAM_DISPLAY_LEN + 8];
  std::memset(out, 'x', sizeof(out));
  IParam p;
  p.InitDouble("big", 0, 0, 1e300, 0.0000001);
  p.GetDisplayForHost(1e300, false, out, false);
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(MAX_PARAM_DISPLAY_LEN - 1));
  EXPECT_EQ(out[MAX_PARAM_DISPLAY_LEN], 'x');

  IParam i;
  i.InitDouble("big int", 0, 0, 1e20, 1);
  i.GetDisplayForHost(1e20, false, out, true);  // beyond int: limited, not undefined
  EXPECT_STREQ(out, "2147483647");
}

TEST(IParamDisplayTexts, EmptyTextFallsBackAndFirstRecordWins)
{
  IParam p;
  p.InitEnum("mode", 0, 3, "Hz");
  p.SetDisplayText(0, "");
  p.SetDisplayText(1, "one");
  p.SetDisplayText(1, "uno");
  char out[MAX_PARAM_DISPLAY_LEN];
  p.GetDisplayForHost(0, false, out);
  EXPECT_STREQ(out, "0");
  p.GetDisplayForHost(1, false, out);
  EXPECT_STREQ(out, "one");
  EXPECT_STREQ(p.GetDisplayText(2), "");
  EXPECT_EQ(p.GetNDisplayTexts(), 3);
  int v = -1;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(2, &v), "uno");
  EXPECT_EQ(v, 1);
  EXPECT_EQ(p.GetDisplayTextAtIdx(3), nullptr);

  // The label disappears only while the value has a non-empty text.
  p.Set(0);
  EXPECT_STREQ(p.GetLabelForHost(), "Hz");
  p.Set(1.7);
  EXPECT_STREQ(p.GetLabelForHost(), "");
  p.Set(2);
  EXPECT_STREQ(p.GetLabelForHost(), "Hz");
}

TEST(IParamDisplayTexts, MapDisplayTextIsExact)
{
  IParam p;
  p.InitBool("b", true);
  int v = 42;
  EXPECT_TRUE(p.MapDisplayText("on", &v));
  EXPECT_EQ(v, 1);
  v = 42;
  EXPECT_FALSE(p.MapDisplayText("On", &v));
  EXPECT_FALSE(p.MapDisplayText("o", &v));
  EXPECT_FALSE(p.MapDisplayText("maybe", &v));
  EXPECT_EQ(v, 42);
}

TEST(IParamInit, DefaultsAndInvariants)
{
  IParam fresh;
  EXPECT_EQ(fresh.Type(), IParam::kTypeNone);
  EXPECT_EQ(fresh.GetMin(), 0.0);
  EXPECT_EQ(fresh.GetMax(), 1.0);
  EXPECT_EQ(fresh.GetShape(), 1.0);
  EXPECT_TRUE(fresh.GetCanAutomate());

  IParam raised;
  raised.InitDouble("r", 2, 1, 1.05, 0.5, "dB", "grp");
  EXPECT_EQ(raised.GetMax(), 1.5);  // raised to min + step
  EXPECT_EQ(raised.Value(), 2.0);   // value equals the default
  EXPECT_EQ(raised.GetDefault(), 2.0);
  EXPECT_STREQ(raised.GetLabelForHost(), "dB");
  EXPECT_STREQ(raised.GetParamGroupForHost(), "grp");

  IParam single;
  single.InitEnum("one", 0, 1);
  EXPECT_EQ(single.GetMax(), 1.0);
  EXPECT_EQ(single.Type(), IParam::kTypeEnum);

  IParam b;
  b.InitBool("b", true);
  EXPECT_EQ(b.Type(), IParam::kTypeBool);  // the narrower type survives the wider initialisers
  EXPECT_TRUE(b.Bool());
  EXPECT_EQ(b.GetPrecision(), 0);

  IParam shaped;
  shaped.SetShape(3);
  shaped.SetShape(0);
  EXPECT_EQ(shaped.GetShape(), 3.0);
}

TEST(IParamInit, LongNamesAreCutToTheField)
{
  const std::string longName(100, 'n');
  IParam p;
  p.InitDouble(longName.c_str(), 0, 0, 1, 0.1, longName.c_str(), longName.c_str());
  p.SetDisplayText(0, longName.c_str());
  EXPECT_EQ(std::strlen(p.GetNameForHost()), static_cast<size_t>(MAX_PARAM_NAME_LEN - 1));
  EXPECT_EQ(std::strlen(p.GetParamGroupForHost()), static_cast<size_t>(MAX_PARAM_GROUP_LEN - 1));
  EXPECT_EQ(std::strlen(p.GetDisplayText(0)), static_cast<size_t>(MAX_PARAM_DISPLAY_TEXT_LEN - 1));
}

TEST(IParamValues, AccessorsAndGain)
{
  IParam p;
  p.InitDouble("gain", -6, -60, 12, 0.1);
  EXPECT_NEAR(p.DBToAmp(), std::pow(10.0, -6.0 / 20.0), 1e-9);
  p.Set(2.9);
  EXPECT_EQ(p.Int(), 2);
  EXPECT_TRUE(p.Bool());
  p.Set(0.49);
  EXPECT_FALSE(p.Bool());
  double lo = 0, hi = 0;
  p.GetBounds(&lo, &hi);
  EXPECT_EQ(lo, -60.0);
  EXPECT_EQ(hi, 12.0);
}
}  // namespace
