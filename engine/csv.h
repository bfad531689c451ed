#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetcraft {

// The plain CSV the shop's lists are kept in: comma-separated fields, a field
// in double quotes may hold commas, and "" inside quotes is one quote.

// Blanks, tabs and carriage returns off both ends.
std::string trimmed(std::string_view text);
std::string lowerCase(std::string text);

// The fields of one line, each trimmed; nothing when a quote is left open.
std::optional<std::vector<std::string>> csvFields(std::string_view line);

// A field as written back: quoted when it holds a comma, a quote, a line end
// or blanks at either end.
std::string csvField(const std::string &text);

} // namespace sheetcraft
