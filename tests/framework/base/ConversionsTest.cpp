// The locale-aware conversions from text: StrToFloat, its errors, and the quoting of texts in
// messages.
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "tests/framework/base/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

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

void PrintTo(const Accepted& a, std::ostream* os) { *os << '"' << a.text << '"'; }

class StrToFloatAccepts : public testing::TestWithParam<InLocale<Accepted>> {};

TEST_P(StrToFloatAccepts, ReadsTheNearestDouble)
{
    SET_TEST_LOCALE(GetParam().locale);
    const Accepted& a = GetParam().value;
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

INSTANTIATE_TEST_SUITE_P(Texts, StrToFloatAccepts, testing::ValuesIn(InBothLocales(kAccepted)));

// ---------------------------------------------------------------------------------------
// StrToFloat: rejected texts raise EConvertError with a Russian message quoting the text

class StrToFloatRejects : public testing::TestWithParam<InLocale<std::string>> {};

TEST_P(StrToFloatRejects, RaisesEConvertErrorQuotingTheText)
{
    SET_TEST_LOCALE(GetParam().locale);
    const std::string& text = GetParam().value;
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
    "1\xC2\xA0"
    "000", // a no-break space, the comma locale's thousands separator
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
    "١",            // Arabic-Indic digit one
    "\xEF\xBC\x91", // fullwidth digit one
    std::string("1\0", 2),
    "1e400",
    "-1e400",
    "1.7976931348623159e308",
};

INSTANTIATE_TEST_SUITE_P(Texts, StrToFloatRejects, testing::ValuesIn(InBothLocales(kRejected)));

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
                    Quoting{"g\xff.png", "«g\\xFF.png»"},         // not UTF-8
                    Quoting{"\xD0", "«\\xD0»"},                   // a sequence cut short
                    Quoting{"\xC0\xAF", "«\\xC0\\xAF»"},          // an overlong '/'
                    Quoting{"\xED\xA0\x80", "«\\xED\\xA0\\x80»"}, // a surrogate
                    Quoting{"\xC2\x85", "«\\xC2\\x85»"},          // a C1 control
                    Quoting{"1\xE2\x80\xAE"
                            "2",
                            "«1\\xE2\\x80\\xAE2»"}, // a right-to-left override
                    // Over 160 characters, however many bytes each one takes: the first and last 80.
                    Quoting{Repeat("9", 160), "«" + Repeat("9", 160) + "»"},
                    Quoting{Repeat("9", 100000) + "x", "«" + Repeat("9", 80) + "…" + Repeat("9", 79) + "x»"},
                    Quoting{"/" + Repeat("я", 160) + "/plot.png",
                            "«/" + Repeat("я", 79) + "…" + Repeat("я", 71) + "/plot.png»"},
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

} // namespace
