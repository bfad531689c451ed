#pragma once

#include "mdbwriter.h"

#include <istream>
#include <vector>

namespace sheetcraft {

// Reads the plain-text description of a database that the fixture writer
// turns into a file (the format is documented in tools/mdbfixture/README.md):
//
//   # comment
//   table Orders
//   column OrderNo   Text(10)
//   column PartNo    Long Integer
//   row "00000123" | 1
//   row NULL       | 2
//
// Throws MdbWriteError naming the line of the first mistake.
std::vector<MdbTableData> parseMdbDescription(std::istream &in);

} // namespace sheetcraft
