#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace sheetcraft {

// "Versions": the changes of each release, newest first, in a read-only box
// that wraps and scrolls. Modeless; deletes itself when closed, so every
// opening starts from an empty box.
class frmVersion : public QWidget {
    Q_OBJECT

public:
    explicit frmVersion(QWidget *parent = nullptr);

    // Shows the one version window of the run, creating it when none is open.
    static frmVersion *showWindow();

    // The history as the box is filled: entries separated by CR LF CR LF,
    // nothing after the last.
    static QString versionHistory();

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;

private:
    void Form_Load();
};

} // namespace sheetcraft
