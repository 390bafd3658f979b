#pragma once
// Number <-> text conversions. Texts are UTF-8. Numbers are written with the decimal
// separator of the process locale (set from the environment at start-up); both '.' and
// ',' are always accepted when reading.
#include <string>
#include <string_view>

enum TFloatFormat { ffGeneral, ffFixed };

// Reads an optionally signed decimal number with an optional exponent, surrounded by
// optional blanks. Anything else (empty text, inf, nan, hex, thousands separators,
// trailing characters, a value beyond the double range) raises EConvertError.
double StrToFloat(std::string_view text);

// ffFixed: fixed point with `digits` places, carrying at most `precision` significant
// digits (further places are zeros); magnitudes of 10^precision and above in exponent form.
// ffGeneral: the shortest text that reads back to the same double, or, where that needs more
// than `precision` significant digits, the value rounded to `precision` digits (digits unused).
// Non-finite values are written NAN, INF and -INF.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);

// A number as the messages and the window show it: FloatToStrF(value, ffGeneral, precision, 0),
// by default the shortest text that reads back to the same double.
inline std::string NumberText(double value, int precision = 17) { return FloatToStrF(value, ffGeneral, precision, 0); }

std::string IntToStr(long long value);

// A user's text or a file name as every message quotes it: «text», every byte that is not part
// of a printable UTF-8 character written as \xNN; a text of more than 160 characters is cut
// to its first and last 80 around "…".
std::string QuoteForMessage(std::string_view text);

// The process locale's decimal separator (UTF-8; "." in the C locale).
std::string DecimalSeparator();
