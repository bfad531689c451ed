#pragma once

#include "outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace sheetcraft {

// The two small settings files kept between runs: the location file
// "zvkelck.dat" (data folder on line 1, estimating folder on line 2) and the
// mode file "FileMenu.txt" (first character "M" for Kelvane mode). Both are
// CR LF text so that files copied from an older installation keep working.

inline constexpr const char *locationFileName = "zvkelck.dat";
inline constexpr const char *modeFileName = "FileMenu.txt";
inline constexpr const char *noFolderText = "No Folder Selected";

// Error numbers shown in the start-up "Error Number" message.
inline constexpr int errFileNotFound = 53;
inline constexpr int errInputPastEnd = 62;
inline constexpr int errFileAccess = 75;

// Folder holding both files: the program's own folder on Windows, otherwise
// $XDG_CONFIG_HOME/sheetcraft (~/.config/sheetcraft), since an installed
// program's folder is read-only there. Read from the environment on every
// call, so a test may point it elsewhere.
QString settingsFolder();
QString locationFilePath();
QString modeFilePath();

// Reads comma/line delimited values the way the location file has always been
// read: blanks before a value are skipped; a value starting with a double
// quote runs to the closing quote (quotes dropped, anything up to the next
// delimiter ignored); otherwise it runs to the next comma or line end. CR LF,
// LF and CR all end a line.
class FieldReader {
public:
    explicit FieldReader(QByteArray text) : m_text(std::move(text)) {}
    // The next value, or nothing when the text is used up (reading past the end).
    std::optional<QString> next();

private:
    bool atLineEnd() const;
    void skipLineEnd();
    QByteArray m_text;
    qsizetype m_pos = 0;
};

// Both files hold a line or two; anything larger is not one of them.
inline constexpr qsizetype settingsFileLimit = 64 * 1024;

struct SettingsBytes {
    int error = 0;  // errFileNotFound, errFileAccess, or 0 when read
    QString reason; // why errFileAccess, in words for the user
    QByteArray bytes;
};

// Reads a settings file without ever blocking: only a regular file of at most
// settingsFileLimit bytes is read (a FIFO, a device or a folder counts as
// unreadable, errFileAccess). A leading byte-order mark is dropped.
SettingsBytes readSettingsBytes(const QString &path);

struct LocationFile {
    bool exists = false;
    int error = 0; // 0 when both values were read; otherwise one of err*
    QString dataFolder;
    QString estFolder;
};

// Reads both values of the location file; never shows anything.
LocationFile readLocationFile();

// Writes the two lines (CR LF each, text as it stands) with writeFileSafely.
// Says nothing when saved; on failure the old file is left intact and the
// message names the file and the reason.
[[nodiscard]] Outcome writeLocationFile(const QString &dataFolder, const QString &estFolder);

// First byte of the mode file (after any byte-order mark); nothing when it is
// missing, unreadable or empty. `unreadable`, when given, is set to what the
// user is told of a file that is there but cannot be read (too large, not a
// regular file, not permitted), and left empty otherwise.
std::optional<char> readModeLetter(Outcome *unreadable = nullptr);

// Recreates the mode file holding `letter` and CR LF; same failure handling
// as writeLocationFile.
[[nodiscard]] Outcome writeModeFile(char letter);

// Writes `bytes` to `fileName` inside settingsFolder(), creating the folder.
[[nodiscard]] Outcome writeSettingsFile(const QString &fileName, const QByteArray &bytes);

} // namespace sheetcraft
