#pragma once

#include <QIcon>

namespace sheetcraft {

// The program's icon, drawn rather than shipped: a parent sheet with press
// sheets cut from it, one of them showing its finished pieces.
QIcon sheetcraftIcon();

} // namespace sheetcraft
