#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace sheetcraft {

// The one letter-case fold of the program: A to Z become a to z and every
// other byte stays as it is, whatever the locale. Size texts, table names and
// field names all compare this way, as the stored files expect.
constexpr char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string toLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char &c : lower)
        c = foldAscii(c);
    return lower;
}

inline bool equalFolded(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return foldAscii(x) == foldAscii(y); });
}

inline bool lessFolded(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(foldAscii(x)) < static_cast<unsigned char>(foldAscii(y));
    });
}

} // namespace sheetcraft
