#pragma once

#include <QIcon>

namespace sheetcraft {

// The arrow of the two step buttons: a right-pointing triangle.
QIcon arrowIcon();
// The program's icon: a press sheet with its hatched pieces and gripper strip.
QIcon applicationIcon();

} // namespace sheetcraft
