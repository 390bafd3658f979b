// The locale-aware conversions to text: FloatToStrF, IntToStr, DecimalSeparator.
#include "framework/base/Conversions.h"
#include "tests/framework/base/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------------------
// FloatToStrF(v, ffFixed, 8, 6): fixed point, 6 places, at most 8 significant digits

struct Fixed {
    double value;
    std::string text; // with '.' standing for the locale's separator
};

void PrintTo(const Fixed& f, std::ostream* os) { *os << testing::PrintToString(f.value); }

class FloatToStrFFixed : public testing::TestWithParam<InLocale<Fixed>> {};

TEST_P(FloatToStrFFixed, WritesTheExpectedText)
{
    SET_TEST_LOCALE(GetParam().locale);
    std::string expected = GetParam().value.text;
    if (const auto dot = expected.find('.'); dot != std::string::npos)
        expected.replace(dot, 1, GetParam().locale.separator);
    EXPECT_EQ(FloatToStrF(GetParam().value.value, ffFixed, 8, 6), expected);
}

const Fixed kFixed[] = {
    {123.456789, "123.456790"},
    {1.23456789, "1.234568"},
    {-2.5, "-2.500000"},
    {1.0191219367315558, "1.019122"},
    {4.5952967243072012, "4.595297"},
    {5.160559316228068, "5.160559"},
    {6.132000903062991, "6.132001"},
    {0.1, "0.100000"},
    {0.0, "0.000000"},
    {-0.0, "0.000000"},
    {0.123456789, "0.123457"},
    {-0.123456789, "-0.123457"},
    {1e-7, "0.000000"},
    {1234567.891, "1234567.900000"},
    {12345678.9, "12345679.000000"},
    {-12345678.9, "-12345679.000000"},
    {99999999.0, "99999999.000000"},
    {9.99999995, "10.000000"},
    {-61.27950903, "-61.279509"},
    // From 10^8 on the value is written in exponent form.
    {1e8, "1E+8"},
    {123456789.0, "1.2345679E+8"},
    {-123456789.0, "-1.2345679E+8"},
    {1.7976931348623157e308, "1.7976931E+308"},
    // Not finite.
    {kNaN, "NAN"},
    {kInf, "INF"},
    {-kInf, "-INF"},
};

INSTANTIATE_TEST_SUITE_P(Values, FloatToStrFFixed, testing::ValuesIn(InBothLocales(kFixed)));

// Over a sweep of magnitudes: 6 places, at most 8 significant digits, within half a unit
// of the last digit kept.
TEST(FloatToStrFFixedSweep, KeepsSixPlacesAndAtMostEightSignificantDigits)
{
    for (double magnitude = 1e-9; magnitude < 1e8; magnitude *= 10) {
        for (double mantissa : {1.0, 1.23456789123, 3.14159265358979, 9.87654321987, 9.9999999999}) {
            for (double sign : {1.0, -1.0}) {
                const double value = sign * mantissa * magnitude;
                const std::string text = FloatToStrF(value, ffFixed, 8, 6);
                SCOPED_TRACE(testing::PrintToString(value) + " -> " + text);
                if (text.find('E') != std::string::npos) {
                    EXPECT_GE(std::fabs(value), 99999999.5);
                    continue;
                }
                const auto dot = text.find('.');
                ASSERT_NE(dot, std::string::npos);
                EXPECT_EQ(text.size() - dot - 1, 6u);
                int significant = 0, trailingZeros = 0;
                bool started = false;
                for (char c : text) {
                    if (c < '0' || c > '9') continue;
                    if (c != '0') started = true;
                    if (!started) continue;
                    ++significant;
                    trailingZeros = c == '0' ? trailingZeros + 1 : 0;
                }
                EXPECT_LE(significant - trailingZeros, 8);
                const double back = std::stod(text);
                const double digitsBeforePoint = std::max(1.0, std::floor(std::log10(std::fabs(value))) + 1);
                const double halfUnit = 0.5 * std::max(1e-6, std::pow(10.0, digitsBeforePoint - 8));
                // Half a unit of the last digit kept, plus the error of reading the text back.
                const double ulp = std::fabs(std::nextafter(back, INFINITY) - back);
                EXPECT_LE(std::fabs(back - value), halfUnit + 2 * ulp);
            }
        }
    }
}

// ffGeneral, as used in messages: the shortest text that reads back to the same double.
class FloatToStrFGeneral : public testing::TestWithParam<LocaleCase> {};

TEST_P(FloatToStrFGeneral, WritesTheShortestRoundTripText)
{
    SET_TEST_LOCALE(GetParam());
    const std::string& sep = GetParam().separator;
    EXPECT_EQ(FloatToStrF(0.1, ffGeneral, 17, 0), "0" + sep + "1");
    EXPECT_EQ(FloatToStrF(-0.5, ffGeneral, 17, 0), "-0" + sep + "5");
    EXPECT_EQ(FloatToStrF(0.4, ffGeneral, 17, 0), "0" + sep + "4");
    EXPECT_EQ(FloatToStrF(5.099999999999999, ffGeneral, 17, 0), "5" + sep + "099999999999999");
    EXPECT_EQ(FloatToStrF(1.0, ffGeneral, 17, 0), "1");
    for (double value : {0.1, 1.0 / 3, -2.0 / 7, 5.099999999999999, 1e-300, 6.02e23, 1.7976931348623157e308})
        EXPECT_EQ(StrToFloat(FloatToStrF(value, ffGeneral, 17, 0)), value);
}

INSTANTIATE_TEST_SUITE_P(Locales, FloatToStrFGeneral, testing::Values(kCLocale, kCommaLocale),
                         [](const auto& info) { return PrintLocaleName(info.param); });

// ---------------------------------------------------------------------------------------
// IntToStr and the separator

class PlainConversions : public testing::TestWithParam<LocaleCase> {};

TEST_P(PlainConversions, IntToStrWritesPlainDecimalDigits)
{
    SET_TEST_LOCALE(GetParam());
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(1), "1");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(1234567), "1234567"); // no grouping
    EXPECT_EQ(IntToStr(50000000), "50000000");
}

TEST_P(PlainConversions, DecimalSeparatorIsThatOfTheProcessLocale)
{
    SET_TEST_LOCALE(GetParam());
    EXPECT_EQ(DecimalSeparator(), GetParam().separator);
}

INSTANTIATE_TEST_SUITE_P(Locales, PlainConversions, testing::Values(kCLocale, kCommaLocale),
                         [](const auto& info) { return PrintLocaleName(info.param); });

TEST(LocaleScope, TheSeparatorFollowsTheLocaleSetAndRestored)
{
    ASSERT_EQ(DecimalSeparator(), ".");
    {
        ScopedLocale comma(kCommaLocale.name);
        ASSERT_TRUE(comma.Ok());
        EXPECT_EQ(DecimalSeparator(), ",");
        EXPECT_EQ(FloatToStrF(1.5, ffFixed, 8, 6), "1,500000");
    }
    EXPECT_EQ(DecimalSeparator(), ".");
    EXPECT_EQ(FloatToStrF(1.5, ffFixed, 8, 6), "1.500000");
}

} // namespace
