#include "numberformat.h"

#include <cstdio>

#include <charconv>
#include <cmath>
#include <string>

namespace sheetcraft {

namespace {

// The magnitude of a value as 15 significant decimal digits and the power of
// ten of the first digit: 12.25 -> "122500000000000", 1.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal toDecimal15(double magnitude) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    Decimal d;
    const auto e = text.find('e');
    for (char c : text.substr(0, e)) {
        if (c >= '0' && c <= '9')
            d.digits.push_back(c);
    }
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    d.exponent);
    return d;
}

} // namespace

std::string formatPattern(double value, std::string_view pattern) {
    const auto point = pattern.find('.');
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
    const bool leadingZero =
        point != std::string_view::npos && point > 0 && pattern[point - 1] == '0';

    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");

    const bool negative = std::signbit(value);
    std::string intPart;
    std::string fracPart(static_cast<std::size_t>(decimals), '0');

    if (value != 0) {
        const Decimal d = toDecimal15(std::fabs(value));
        // Digits of the whole number, from the first significant digit down to
        // the last decimal kept: the number is 0.digits x 10^(exponent + 1).
        const int kept = d.exponent + 1 + decimals;
        std::string keptDigits;
        bool roundUp = false;
        if (kept > 0) {
            for (int i = 0; i < kept; ++i)
                keptDigits.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0');
            roundUp = kept < static_cast<int>(d.digits.size()) && d.digits[kept] >= '5';
        } else if (kept == 0) {
            roundUp = d.digits[0] >= '5';
        }
        // Half away from zero, on the decimal digits.
        if (roundUp) {
            int i = static_cast<int>(keptDigits.size()) - 1;
            for (; i >= 0 && keptDigits[i] == '9'; --i)
                keptDigits[i] = '0';
            if (i >= 0)
                ++keptDigits[i];
            else
                keptDigits.insert(keptDigits.begin(), '1');
        }
        // Left-pad so that there are at least `decimals` digits after the point.
        if (static_cast<int>(keptDigits.size()) < decimals)
            keptDigits.insert(0, decimals - keptDigits.size(), '0');
        intPart = keptDigits.substr(0, keptDigits.size() - decimals);
        fracPart = keptDigits.substr(keptDigits.size() - decimals);
        const auto firstNonZero = intPart.find_first_not_of('0');
        intPart = firstNonZero == std::string::npos ? "" : intPart.substr(firstNonZero);
    }

    const bool isZero = intPart.empty() && fracPart.find_first_not_of('0') == std::string::npos;
    if (intPart.empty() && leadingZero)
        intPart = "0";
    std::string out = (negative && !isZero) ? "-" : "";
    out += intPart;
    if (decimals > 0)
        out += "." + fracPart;
    return out;
}

std::string strNumber(double value) {
    if (value == 0)
        return " 0";
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    // Too large or small for plain digits: the exponent is written in capitals.
    for (char &c : text)
        if (c == 'e')
            c = 'E';
    return value < 0 ? text : " " + text;
}

std::string plainNumber(double value) {
    return strNumber(value) + " ";
}

std::string sheetNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.12g", value);
    return text;
}

} // namespace sheetcraft
