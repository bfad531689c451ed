#pragma once

#include "outcome.h"

#include <QString>

namespace sheetcraft {

// Check marks of the two data-source menu items.
struct ModeMarks {
    bool mnuKel = false; // Kelvane mode: Search reads the order database
    bool mnuTxt = true;  // text mode: Search makes no lookup
};

// What the main window's load step hands back to the window.
struct StartupState {
    enum class Next {
        ShowMainWindow,   // normal start
        ShowFolderWindow, // no location file: hide the main window, show frmPath
        EndProgram,       // the location file cannot be read: say why, then end
    };
    Next next = Next::ShowMainWindow;
    Outcome said; // what to say before going on (or ending)

    QString caption;    // window caption, with the program's version
    QString directions; // lblDirections, in English (context "sheetcraft::Startup")
    QString dataFolder; // as read, never normalised
    QString estFolder;
    QString databasePath;      // empty unless the location file was read
    bool searchEnabled = true; // cmdSearch; designed state unless the file was read
    ModeMarks marks;           // designed state ("Text (Dos)") unless the file was read
};

QString mainWindowCaption();
QString directionsText();

// True unless both folders hold "No Folder" where their 1-based positions
// share a bit: the positions are ANDed as integers, so two texts starting
// with "No Folder" disable Search and one chosen folder enables it.
bool searchAllowed(const QString &dataFolder, const QString &estFolder);

// dataFolder, the platform separator and "zvData.mdb", concatenated as they
// stand. When that exact name is absent but the folder holds a file whose
// name differs only in letter case (folders copied from Windows), that file
// is used instead.
QString composeDatabasePath(const QString &dataFolder);

// The main window's load step: caption, directions, location file, Search,
// database path, mode file (recreated holding "M" when missing or empty) and
// check marks. A location file that exists but cannot be read in full says
// "Error Number <n>. Exit Job" and asks for the end of the program.
StartupState loadStartup();

struct ModeChoice {
    ModeMarks marks;
    Outcome said; // a mode file that could not be read or saved
};

// The File menu's "Kelvane" and "Text (Dos)" items: rewrite the mode file
// when it holds the other letter or cannot be read, leave any other content
// alone, and return the new check marks (they change for this run even when
// the file cannot be saved).
ModeChoice mnuKel_Click();
ModeChoice mnuTxt_Click();

} // namespace sheetcraft
