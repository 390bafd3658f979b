// The locale-aware conversions: StrToFloat, FloatToStrF, IntToStr, DecimalSeparator.
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "tests/framework/base/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsCyrillic(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if ((lead == 0xD0 || lead == 0xD1) && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// StrToFloat: accepted texts, under both locales

struct Accepted {
    std::string text;
    double value; // compared exactly, the sign of a zero included
};

struct AcceptedInLocale {
    Accepted accepted;
    LocaleCase locale;
};

void PrintTo(const AcceptedInLocale& a, std::ostream* os)
{
    *os << '"' << a.accepted.text << "\" under " << a.locale.name;
}

class StrToFloatAccepts : public testing::TestWithParam<AcceptedInLocale> {};

TEST_P(StrToFloatAccepts, ReadsTheNearestDouble)
{
    SET_TEST_LOCALE(GetParam().locale);
    const Accepted& a = GetParam().accepted;
    const double value = StrToFloat(a.text);
    EXPECT_EQ(value, a.value);
    EXPECT_EQ(std::signbit(value), std::signbit(a.value));
}

const Accepted kAccepted[] = {
    {"1", 1.0},
    {"0.1", 0.1},
    {"0,1", 0.1},
    {"-2.5", -2.5},
    {"-2,5", -2.5},
    {"+3", 3.0},
    {"  1.5  ", 1.5},
    {"\t-0,25\n", -0.25},
    {" \r\n\v\f7\f\v\n\r ", 7.0},
    {".5", 0.5},
    {",5", 0.5},
    {"-.5", -0.5},
    {"5.", 5.0},
    {"5,", 5.0},
    {"1e3", 1000.0},
    {"1E3", 1000.0},
    {"1e+3", 1000.0},
    {"1e-3", 0.001},
    {"2,5e-1", 0.25},
    {"-1.5E+2", -150.0},
    {"0", 0.0},
    {"-0", -0.0},
    {"+0.0", 0.0},
    {"000123.4500", 123.45},
    {"0.0001", 0.0001},
    {"1e-20", 1e-20},
    {"5.099999999999999", 5.099999999999999},
    {"1.7976931348623157e308", std::numeric_limits<double>::max()},
    {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
    {"2.2250738585072014e-308", std::numeric_limits<double>::min()},
    // Below half the smallest subnormal the nearest double is zero.
    {"1e-400", 0.0},
    {"-1e-400", -0.0},
};

std::vector<AcceptedInLocale> AcceptedInBothLocales()
{
    std::vector<AcceptedInLocale> cases;
    for (const auto& locale : {kCLocale, kCommaLocale})
        for (const auto& accepted : kAccepted) cases.push_back({accepted, locale});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Texts, StrToFloatAccepts, testing::ValuesIn(AcceptedInBothLocales()));

// ---------------------------------------------------------------------------------------
// StrToFloat: rejected texts raise EConvertError with a Russian message quoting the text

struct RejectedInLocale {
    std::string text;
    LocaleCase locale;
};

void PrintTo(const RejectedInLocale& r, std::ostream* os) { *os << '"' << r.text << "\" under " << r.locale.name; }

class StrToFloatRejects : public testing::TestWithParam<RejectedInLocale> {};

TEST_P(StrToFloatRejects, RaisesEConvertErrorQuotingTheText)
{
    SET_TEST_LOCALE(GetParam().locale);
    const std::string& text = GetParam().text;
    try {
        const double value = StrToFloat(text);
        FAIL() << "accepted, as " << value;
    } catch (const EConvertError& error) {
        EXPECT_NE(error.Message.find(QuoteForMessage(text)), std::string::npos) << error.Message;
        EXPECT_TRUE(IsCyrillic(error.Message)) << error.Message;
    }
}

const std::string kRejected[] = {
    "",
    " ",
    "\t\n",
    "inf",
    "-inf",
    "INF",
    "infinity",
    "nan",
    "NaN",
    "-nan",
    "0x10",
    "0x1p3",
    "0X1A",
    "1,000.5",
    "1.000,5",
    "1 000",
    "1\xC2\xA0" "000", // a no-break space, the comma locale's thousands separator
    "1'000",
    "1_000",
    "1.2.3",
    "1,2,3",
    "1..2",
    ".",
    ",",
    "-",
    "+",
    "+-1",
    "--1",
    "- 1",
    "1-",
    "e5",
    ".e5",
    "1e",
    "1e+",
    "1e-",
    "1e5.5",
    "1e 5",
    "1 e5",
    "1a",
    "abc",
    "1.5x",
    "1;",
    "1d0",
    "1f",
    "١",           // Arabic-Indic digit one
    "\xEF\xBC\x91", // fullwidth digit one
    std::string("1\0", 2),
    "1e400",
    "-1e400",
    "1.7976931348623159e308",
};

std::vector<RejectedInLocale> RejectedInBothLocales()
{
    std::vector<RejectedInLocale> cases;
    for (const auto& locale : {kCLocale, kCommaLocale})
        for (const auto& text : kRejected) cases.push_back({text, locale});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Texts, StrToFloatRejects, testing::ValuesIn(RejectedInBothLocales()));

// ---------------------------------------------------------------------------------------
// QuoteForMessage: cut to a readable length, unprintable bytes escaped, UTF-8 kept whole

std::string Repeat(const std::string& text, int times)
{
    std::string repeated;
    while (times-- > 0) repeated += text;
    return repeated;
}

struct Quoting {
    std::string text, quoted;
};

void PrintTo(const Quoting& q, std::ostream* os) { *os << testing::PrintToString(q.text); }

class QuoteForMessageCase : public testing::TestWithParam<Quoting> {};

TEST_P(QuoteForMessageCase, QuotesTheTextAsAReaderCanSeeIt)
{
    EXPECT_EQ(QuoteForMessage(GetParam().text), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QuoteForMessageCase,
    testing::Values(Quoting{"0.1.", "«0.1.»"}, Quoting{"", "«»"}, Quoting{"Шаг ≈ 1", "«Шаг ≈ 1»"},
                    Quoting{"1\t2\n", "«1\\x092\\x0A»"}, Quoting{std::string("1\0", 2), "«1\\x00»"},
                    Quoting{"g\xff.png", "«g\\xFF.png»"},            // not UTF-8
                    Quoting{"\xD0", "«\\xD0»"},                      // a sequence cut short
                    Quoting{"\xC0\xAF", "«\\xC0\\xAF»"},             // an overlong '/'
                    Quoting{"\xED\xA0\x80", "«\\xED\\xA0\\x80»"},     // a surrogate
                    Quoting{"\xC2\x85", "«\\xC2\\x85»"},             // a C1 control
                    Quoting{"1\xE2\x80\xAE" "2", "«1\\xE2\\x80\\xAE2»"}, // a right-to-left override
                    // Over 160 characters, however many bytes each one takes: the first and last 80.
                    Quoting{Repeat("9", 160), "«" + Repeat("9", 160) + "»"},
                    Quoting{Repeat("9", 100000) + "x", "«" + Repeat("9", 80) + "…" + Repeat("9", 79) + "x»"},
                    Quoting{"/" + Repeat("я", 160) + "/plot.png", "«/" + Repeat("я", 79) + "…" + Repeat("я", 71) + "/plot.png»"},
                    Quoting{Repeat("\x01", 161), "«" + Repeat("\\x01", 80) + "…" + Repeat("\\x01", 80) + "»"}));

TEST(StrToFloatErrors, AreOfTheExceptionFamily)
{
    try {
        StrToFloat("x");
        FAIL() << "accepted";
    } catch (const Exception& error) {
        EXPECT_NE(dynamic_cast<const EConvertError*>(&error), nullptr);
        EXPECT_STREQ(error.what(), error.Message.c_str());
    }
}

// ---------------------------------------------------------------------------------------
// FloatToStrF(v, ffFixed, 8, 6): fixed point, 6 places, at most 8 significant digits

struct Fixed {
    double value;
    std::string text; // with '.' standing for the locale's separator
};

struct FixedInLocale {
    Fixed fixed;
    LocaleCase locale;
};

void PrintTo(const FixedInLocale& f, std::ostream* os)
{
    *os << testing::PrintToString(f.fixed.value) << " under " << f.locale.name;
}

class FloatToStrFFixed : public testing::TestWithParam<FixedInLocale> {};

TEST_P(FloatToStrFFixed, WritesTheExpectedText)
{
    SET_TEST_LOCALE(GetParam().locale);
    std::string expected = GetParam().fixed.text;
    if (const auto dot = expected.find('.'); dot != std::string::npos) expected.replace(dot, 1, GetParam().locale.separator);
    EXPECT_EQ(FloatToStrF(GetParam().fixed.value, ffFixed, 8, 6), expected);
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

std::vector<FixedInLocale> FixedInBothLocales()
{
    std::vector<FixedInLocale> cases;
    for (const auto& locale : {kCLocale, kCommaLocale})
        for (const auto& fixed : kFixed) cases.push_back({fixed, locale});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Values, FloatToStrFFixed, testing::ValuesIn(FixedInBothLocales()));

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
