#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// The leading number of a text, 0 when it has none: optional sign, digits, at
// most one ".", an optional E or D exponent; blanks, tabs and line feeds inside
// that stretch are skipped. "&H" and "&O" introduce hexadecimal and octal
// integers. A value beyond the double range counts as no number (0).
double valueOfText(std::string_view text);

// The whole text as a decimal number (sign, digits, at most one ".", an E
// exponent), or nothing: no blanks, no hexadecimal, no infinity. The point is
// "." whatever the locale.
std::optional<double> decimalOfText(std::string_view text);

// A number in general form: no leading blank, no thousands separator, at most
// 15 significant digits, no trailing zeros, an exponent only for very large or
// very small values ("1E+15", "1E-05").
std::string textOfNumber(double value);

// "<status>   残り待ち時間<remaining / 1000>秒"
std::string countdownCaption(const std::string& statusCaption, double remainingTimeMs);

} // namespace tolvane
