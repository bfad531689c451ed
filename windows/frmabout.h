#pragma once

#include "messagesink.h"
#include "sysinfo.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace sheetcraft {

// "About Sheetcraft": title, version, what the program does with the order
// data, credits and the legal warning; OK (Enter and Esc) closes it, "System
// Info..." starts the system-information program. Modeless; deletes itself
// when closed.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(MessageSink &messages, QWidget *parent = nullptr);

    // Shows the one About window of the run, creating it when none is open.
    static frmAbout *showWindow(MessageSink &messages);

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

    // How System Info finds and starts its program.
    SysInfoLauncher launcher = defaultSysInfoLauncher();

public slots:
    void cmdSysInfo_Click();

private:
    MessageSink &m_messages;
};

} // namespace sheetcraft
