#pragma once

#include "cells.h"

#include <QJsonObject>

namespace sheetcraft {

// The order a lookup found, from either source, so that a script knows what
// it priced: kind ("job" or "quote"), number, part, company, description,
// stock, and the press's gripper and gutter, as the cells show them.
QJsonObject foundOrderJson(const Cells &cells);

} // namespace sheetcraft
