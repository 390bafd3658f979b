#include "framework/base/Conversions.h"

#include "framework/base/Exception.h"

#include <fast_float/fast_float.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <vector>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void RaiseConvertError(std::string_view text, const char* reason)
{
    throw EConvertError(QuoteForMessage(text) + " — " + reason);
}

// Replaces the '.' that to_chars writes with the locale's separator.
std::string Localised(std::string text)
{
    const std::string separator = DecimalSeparator();
    if (separator != ".") {
        if (const auto dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, separator);
    }
    return text;
}

int SignificantDigits(std::string_view significand)
{
    int count = 0;
    for (char c : significand) {
        if (!IsDigit(c) || (count == 0 && c == '0')) continue;
        ++count;
    }
    return count;
}

std::string NonFiniteText(double value)
{
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Fixed point with `places` places, rounded once to at most `precision` significant digits.
std::string FixedText(double value, int precision, int places)
{
    char buffer[512];
    // The value rounded to `precision` significant digits tells its decimal exponent.
    const auto sci = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, precision - 1);
    const std::string_view scientific(buffer, sci.ptr - buffer);
    const auto ePos = scientific.find('e');
    int exponent = 0;
    std::from_chars(scientific.data() + ePos + 1 + (scientific[ePos + 1] == '+'), scientific.data() + scientific.size(),
                    exponent);

    if (exponent >= precision) {
        // Too many integer digits for the precision: exponent form, mantissa without trailing zeros.
        std::string mantissa(scientific.substr(0, ePos));
        if (mantissa.find('.') != std::string::npos) {
            mantissa.erase(mantissa.find_last_not_of('0') + 1);
            if (mantissa.back() == '.') mantissa.pop_back();
        }
        return Localised(mantissa) + "E+" + std::to_string(exponent);
    }

    std::string text;
    if (exponent + 1 + places <= precision) {
        // The places hold no more than `precision` significant digits: round at the last place.
        const auto fixed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, places);
        text.assign(buffer, fixed.ptr);
    } else {
        // Round at the precision-th significant digit and pad the places beyond it with zeros.
        std::string digits;
        const bool negative = scientific.front() == '-';
        for (char c : scientific.substr(0, ePos))
            if (IsDigit(c)) digits += c;
        // digits holds `precision` digits, the first one worth 10^exponent (0 <= exponent < precision).
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        std::string fraction = digits.substr(integerDigits);
        fraction.resize(static_cast<std::size_t>(places), '0');
        if (negative) text += '-';
        text.append(digits, 0, integerDigits).append(".").append(fraction);
    }
    // A negative value that rounds to zero is written without its sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return Localised(text);
}

// Appends the digits from text[i] on to `number`, moving i past them; returns how many.
int CopyDigits(std::string_view text, std::size_t& i, std::size_t end, std::string& number)
{
    int count = 0;
    for (; i < end && IsDigit(text[i]); ++i, ++count) number += text[i];
    return count;
}

} // namespace

double StrToFloat(std::string_view text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;

    // The grammar is checked here in full: from_chars alone would also take "inf", "nan"
    // and a hexadecimal prefix's leading zero.
    std::string number;
    number.reserve(end - begin);
    std::size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') number += '-';
        ++i;
    }
    int mantissaDigits = CopyDigits(text, i, end, number);
    if (i < end && (text[i] == '.' || text[i] == ',')) {
        number += '.';
        ++i;
        mantissaDigits += CopyDigits(text, i, end, number);
    }
    if (mantissaDigits == 0) RaiseConvertError(text, "недопустимое число");
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        number += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) number += text[i++];
        if (CopyDigits(text, i, end, number) == 0) RaiseConvertError(text, "недопустимое число");
    }
    if (i != end) RaiseConvertError(text, "недопустимое число");

    // fast_float reads the same with every standard library and rounds correctly: a value
    // below the smallest subnormal gives the nearest double, a zero; one beyond the largest
    // double gives an infinity, for which there is no nearest value to give.
    const char* first = number.data();
    const char* last = first + number.size();
    double value = 0;
    const auto [ptr, ec] = fast_float::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last) RaiseConvertError(text, "недопустимое число");
    if (std::isinf(value)) RaiseConvertError(text, "число вне допустимого диапазона");
    return value;
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    if (!std::isfinite(value)) return NonFiniteText(value);
    if (format == ffFixed) return FixedText(value, precision, digits);

    char buffer[64];
    auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string_view shortest(buffer, written.ptr - buffer);
    const auto significantDigits = SignificantDigits(shortest.substr(0, shortest.find('e')));
    if (significantDigits > precision)
        written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    return Localised(std::string(buffer, written.ptr));
}

std::string IntToStr(long long value) { return std::to_string(value); }

namespace {

// Characters that print nothing visible or reorder the text around them: zero-width marks,
// line and paragraph separators, bidirectional embeddings, overrides and isolates, BOM.
bool IsInvisibleFormat(char32_t c)
{
    return (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

// The length in bytes of the printable UTF-8 character at the start of `text`; 0 for a control
// character, an invisible format character or a byte that does not begin a valid sequence.
std::size_t PrintableCharacterLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return lead >= 0x20 && lead != 0x7F ? 1 : 0;
    std::size_t length;
    char32_t c, smallest;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, c = lead & 0x1F, smallest = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, c = lead & 0x0F, smallest = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, c = lead & 0x07, smallest = 0x10000;
    else return 0;
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    const bool valid = c >= smallest && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    const bool control = c >= 0x80 && c <= 0x9F;
    return valid && !control && !IsInvisibleFormat(c) ? length : 0;
}

} // namespace

std::string QuoteForMessage(std::string_view text)
{
    // A long text keeps both ends: a number's digits and exponent, a path's folder and file name.
    constexpr std::size_t kEnd = 80;
    static const char kHex[] = "0123456789ABCDEF";
    std::vector<std::string> characters; // each as shown: a printable character or an escaped byte
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t length = PrintableCharacterLength(text.substr(i))) {
            characters.emplace_back(text.substr(i, length));
            i += length;
        } else {
            const auto byte = static_cast<unsigned char>(text[i++]);
            characters.push_back({'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]});
        }
    }
    std::string quoted = "«";
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (characters.size() > 2 * kEnd && i == kEnd) {
            quoted += "…";
            i = characters.size() - kEnd;
        }
        quoted += characters[i];
    }
    return quoted + "»";
}

std::string DecimalSeparator()
{
    const char* separator = std::localeconv()->decimal_point;
    return separator && *separator ? separator : ".";
}
