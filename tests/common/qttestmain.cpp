#include "embeddedfonts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// A font configuration that lists no font folders: tests see only the faces
// the program carries, whatever else the machine has installed.
void hideInstalledFonts(const QTemporaryDir &dir) {
    const QString path = dir.filePath(QStringLiteral("fonts.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(
        QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                       "<fontconfig><cachedir>%1</cachedir></fontconfig>\n")
            .arg(dir.filePath(QStringLiteral("fontcache")))
            .toUtf8());
    file.close();
    setenv("FONTCONFIG_FILE", path.toLocal8Bit().constData(), 1);
}

} // namespace

// One main for every test that needs Qt: offscreen platform, 96 DPI, a fixed
// locale, a configuration folder of its own and only the embedded fonts, so
// runs repeat on any machine.
int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    setenv("LC_ALL", "C", 1);
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    QTemporaryDir fontConfig;
    hideInstalledFonts(fontConfig);

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    if (!sheetcraft::loadEmbeddedFonts()) {
        std::fprintf(stderr, "The embedded fonts could not be registered.\n");
        return 1;
    }
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    return RUN_ALL_TESTS();
}
