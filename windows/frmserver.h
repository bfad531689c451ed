#pragma once

#include "messagesink.h"
#include "serversettings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sheetcraft {

// File > SetUp > Order Server: where Search takes orders from, the database
// file or an order server, and the server's connection text. Test connects
// and says what it found; OK saves the choice, which the next search uses.
class frmServer : public QDialog {
    Q_OBJECT

public:
    explicit frmServer(MessageSink &messages, QWidget *parent = nullptr);

    QRadioButton *optFile = nullptr;
    QRadioButton *optServer = nullptr;
    QLineEdit *txtConnection = nullptr;
    QPushButton *cmdTest = nullptr;
    QLabel *lblTest = nullptr; // what the last Test found

    ServerSettings chosen() const;

public slots:
    void cmdTest_Click();
    void accept() override;

signals:
    // A test has ended and lblTest says how.
    void tested();

private:
    MessageSink &m_messages;
};

} // namespace sheetcraft
