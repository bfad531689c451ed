#pragma once

#include <QFont>

namespace sheetcraft {

// The faces the program carries; every window and the report ask for these.
inline constexpr const char *embeddedSansFamily = "Liberation Sans";
inline constexpr const char *embeddedSerifFamily = "Liberation Serif";

// The window's compact face, in points, as its designed control sizes expect.
inline constexpr double windowFontPoints = 8.25;

// Registers the embedded faces with the application's font database, maps
// the report's font name to the embedded serif and makes the compact sans
// the application's default font. Call once after the QGuiApplication
// exists; later calls do nothing. Returns false when a face could not be
// registered (a broken build), in which case Qt falls back to system fonts.
bool loadEmbeddedFonts();

// The compact sans face at the window's size.
QFont windowFont();

} // namespace sheetcraft
