#include "state/number_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tolvane {

namespace {

bool isSkippable(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "&H1F" / "&O17": an integer in base 16 or 8, digits until the first other
// character. Blanks are skipped as in the decimal form.
double radixValue(std::string_view text, std::size_t pos, int base) {
    double value = 0;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (isSkippable(c)) {
            continue;
        }
        int digit = -1;
        if (isDigit(c)) {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0 || digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    return std::isfinite(value) ? value : 0;
}

} // namespace

double valueOfText(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isSkippable(text[pos])) {
        ++pos;
    }
    if (pos + 1 < text.size() && text[pos] == '&') {
        char kind = text[pos + 1];
        if (kind == 'H' || kind == 'h') {
            return radixValue(text, pos + 2, 16);
        }
        if (kind == 'O' || kind == 'o') {
            return radixValue(text, pos + 2, 8);
        }
        return 0;
    }

    // Collect the number's characters without the skipped blanks, then let
    // the standard reader round them; unlike strtod it ignores the locale.
    std::string number;
    bool sawSign = false;
    bool sawDigit = false;
    bool sawPoint = false;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (isSkippable(c)) {
            continue;
        }
        if ((c == '+' || c == '-') && !sawSign && !sawDigit && !sawPoint) {
            sawSign = true;
            number += c;
        } else if (isDigit(c)) {
            sawDigit = true;
            number += c;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
            number += c;
        } else {
            break;
        }
    }
    if (!sawDigit) {
        return 0;
    }

    // Exponent: E or D, an optional sign, digits. Without digits it is no
    // exponent and the mantissa stands alone.
    if (pos < text.size()) {
        char c = text[pos];
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
            std::string exponent = "e";
            bool expSign = false;
            bool expDigit = false;
            for (std::size_t p = pos + 1; p < text.size(); ++p) {
                char e = text[p];
                if (isSkippable(e)) {
                    continue;
                }
                if ((e == '+' || e == '-') && !expSign && !expDigit) {
                    expSign = true;
                    exponent += e;
                } else if (isDigit(e)) {
                    expDigit = true;
                    exponent += e;
                } else {
                    break;
                }
            }
            if (expDigit) {
                number += exponent;
            }
        }
    }

    return decimalOfText(number).value_or(0);
}

std::optional<double> decimalOfText(std::string_view text) {
    // The reader takes no plus sign.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            return std::nullopt;
        }
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string textOfNumber(double value) {
    if (value == 0 || !std::isfinite(value)) {
        return "0";
    }
    // As printf's "%.15G", but always with a point whatever the locale.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

std::string countdownCaption(const std::string& statusCaption, double remainingTimeMs) {
    return statusCaption + "   残り待ち時間" + textOfNumber(remainingTimeMs / 1000) + "秒";
}

} // namespace tolvane
