#include "startup.h"

#include "settingsfiles.h"
#include "version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <cstdlib>

namespace sheetcraft {

namespace {

const QString databaseFileName = QStringLiteral("zvData.mdb");

ModeMarks marksFor(char letter) {
    ModeMarks marks;
    marks.mnuKel = letter == 'M';
    marks.mnuTxt = !marks.mnuKel;
    return marks;
}

// Shared by both mode items: rewrite only when the file holds `other` or
// cannot be read.
ModeMarks chooseMode(char letter, char other, MessageSink &messages) {
    const auto current = readModeLetter();
    if (!current || *current == other)
        writeModeFile(letter, messages);
    return marksFor(letter);
}

} // namespace

QString mainWindowCaption() {
    return QStringLiteral("Zorvath Layout Program   Version: %1").arg(QLatin1String(versionText));
}

QString directionsText() {
    return QStringLiteral(
        "To Start: Click on either arrow at top to begin Sheetcraft display. Clear will reset the "
        "Sheetcraft back to Frame 1 for both sheets.");
}

bool searchAllowed(const QString &dataFolder, const QString &estFolder) {
    const auto position = [](const QString &text) {
        return static_cast<int>(text.indexOf(QLatin1String("No Folder"), 0, Qt::CaseSensitive) + 1);
    };
    return (position(dataFolder) & position(estFolder)) == 0;
}

QString composeDatabasePath(const QString &dataFolder) {
    const QString exact = dataFolder + QDir::separator() + databaseFileName;
    if (QFileInfo::exists(exact) || dataFolder.isEmpty())
        return exact;
    const QDir folder(dataFolder);
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name.compare(databaseFileName, Qt::CaseInsensitive) == 0)
            return dataFolder + QDir::separator() + name;
    }
    return exact;
}

void endProgramNow() {
    if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(1);
    else
        std::exit(1);
}

StartupState loadStartup(MessageSink &messages, const std::function<void()> &endProgram) {
    StartupState state;
    state.caption = mainWindowCaption();
    state.directions = directionsText();

    const LocationFile location = readLocationFile();
    if (!location.exists) {
        state.next = StartupState::Next::ShowFolderWindow;
        return state;
    }
    if (location.error != 0) {
        messages.message("Error Number " + std::to_string(location.error) + ". Exit Job");
        state.next = StartupState::Next::EndProgram;
        if (endProgram)
            endProgram();
        return state;
    }
    state.dataFolder = location.dataFolder;
    state.estFolder = location.estFolder;
    state.searchEnabled = searchAllowed(state.dataFolder, state.estFolder);
    state.databasePath = composeDatabasePath(state.dataFolder);

    auto letter = readModeLetter();
    if (!letter) {
        // A write failure is reported by writeModeFile; the run goes on in
        // Kelvane mode either way.
        writeModeFile('M', messages);
        letter = 'M';
    }
    state.marks = marksFor(*letter);
    return state;
}

ModeMarks mnuKel_Click(MessageSink &messages) {
    return chooseMode('M', 'T', messages);
}

ModeMarks mnuTxt_Click(MessageSink &messages) {
    return chooseMode('T', 'M', messages);
}

} // namespace sheetcraft
