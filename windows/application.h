#pragma once

namespace sheetcraft {

// What the program sets on its application object before any window opens:
// its name (the desktop entry's too), icon and built-in fonts. Window titles
// are shown exactly as each window captions itself.
void setUpApplication();

} // namespace sheetcraft
