#include "embeddedfonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>

namespace sheetcraft {

namespace {

// The report has always asked for this name; it means the embedded serif.
constexpr const char *reportFontAlias = "New Times Roman";

} // namespace

bool loadEmbeddedFonts() {
    static const bool loaded = [] {
        bool ok = true;
        const QDir dir(QStringLiteral(":/fonts"));
        const QStringList files = dir.entryList({QStringLiteral("*.ttf")}, QDir::Files);
        if (files.isEmpty())
            ok = false;
        for (const QString &file : files)
            ok = QFontDatabase::addApplicationFont(dir.filePath(file)) >= 0 && ok;
        const QString alias = QString::fromLatin1(reportFontAlias);
        QFont::removeSubstitutions(alias);
        QFont::insertSubstitution(alias, QString::fromLatin1(embeddedSerifFamily));
        QGuiApplication::setFont(windowFont());
        return ok;
    }();
    return loaded;
}

QFont windowFont() {
    QFont font(QString::fromLatin1(embeddedSansFamily));
    font.setPointSizeF(windowFontPoints);
    return font;
}

} // namespace sheetcraft
