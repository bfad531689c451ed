#include "val.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace sheetcraft {

namespace {

bool isIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

double Val(std::string_view text) {
    // Blanks may stand anywhere, even inside the digits ("1 7" reads 17).
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!isIgnored(c))
            s.push_back(c);
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }

    std::string mantissa;
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            mantissa.push_back(s[i]);
            seenDigit = true;
        } else if (s[i] == '.' && !seenPoint) {
            mantissa.push_back('.');
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0;

    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j) {
                if (exponent < 100000)
                    exponent = exponent * 10 + (s[j] - '0');
            }
            if (expNegative)
                exponent = -exponent;
        }
    }

    std::string number = mantissa;
    if (exponent != 0)
        number += "e" + std::to_string(exponent);

    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Too large for a double reads as infinity, too small as 0; the size
        // check refuses the former.
        bool zeroMantissa = mantissa.find_first_not_of("0.") == std::string::npos;
        value = (exponent > 0 && !zeroMantissa) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        value = 0;
    }
    return negative ? -value : value;
}

} // namespace sheetcraft
