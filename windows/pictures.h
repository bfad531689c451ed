#pragma once

#include <QIcon>

namespace sheetcraft {

// The arrow of the two step buttons: a right-pointing triangle.
QIcon arrowIcon();
// The program's icon, one picture for the windows, About and the desktop
// entry: a press sheet with its gripper strip and hatched pieces.
QIcon applicationIcon();

} // namespace sheetcraft
