#include "startup.h"

#include "settingsfiles.h"
#include "version.h"

#include <QDir>
#include <QFileInfo>

namespace sheetcraft {

namespace {

const QString databaseFileName = QStringLiteral("zvData.mdb");

ModeMarks marksFor(char letter) {
    ModeMarks marks;
    marks.mnuKel = letter == 'M';
    marks.mnuTxt = !marks.mnuKel;
    return marks;
}

// Writes the mode file anew. A file that was there but could not be read is
// told of once it is replaced; a failed write says so instead.
Outcome rewriteModeFile(char letter, const Outcome &unreadable) {
    Outcome saved = writeModeFile(letter);
    return saved.saysNothing() ? unreadable : saved;
}

// Shared by both mode items: rewrite only when the file holds `other` or
// cannot be read.
ModeChoice chooseMode(char letter, char other) {
    ModeChoice choice{marksFor(letter), {}};
    Outcome unreadable;
    const auto current = readModeLetter(&unreadable);
    if (!current || *current == other)
        choice.said = rewriteModeFile(letter, unreadable);
    return choice;
}

} // namespace

QString mainWindowCaption() {
    return QStringLiteral("Zorvath Layout Program   Version: %1").arg(QLatin1String(versionText));
}

QString directionsText() {
    // Marked for translation; the window translates it as it shows it.
    return QString::fromUtf8(QT_TRANSLATE_NOOP(
        "sheetcraft::Startup",
        "To Start: Click on either arrow at top to begin Sheetcraft display. Clear will reset the "
        "Sheetcraft back to Frame 1 for both sheets."));
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

StartupState loadStartup() {
    StartupState state;
    state.caption = mainWindowCaption();
    state.directions = directionsText();

    const LocationFile location = readLocationFile();
    if (!location.exists) {
        state.next = StartupState::Next::ShowFolderWindow;
        return state;
    }
    if (location.error != 0) {
        state.said.say(MessageKind::StartupFailed, location.error);
        state.said.then = FollowUp::EndProgram;
        state.next = StartupState::Next::EndProgram;
        return state;
    }
    state.dataFolder = location.dataFolder;
    state.estFolder = location.estFolder;
    state.searchEnabled = searchAllowed(state.dataFolder, state.estFolder);
    state.databasePath = composeDatabasePath(state.dataFolder);

    Outcome unreadable;
    auto letter = readModeLetter(&unreadable);
    if (!letter) {
        // A write failure is said; the run goes on in Kelvane mode either way.
        state.said = rewriteModeFile('M', unreadable);
        letter = 'M';
    }
    state.marks = marksFor(*letter);
    return state;
}

ModeChoice mnuKel_Click() {
    return chooseMode('M', 'T');
}

ModeChoice mnuTxt_Click() {
    return chooseMode('T', 'M');
}

} // namespace sheetcraft
