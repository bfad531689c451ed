#include "frmserver.h"

#include "orderserver.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace sheetcraft {

frmServer::frmServer(MessageSink &messages, QWidget *parent)
    : QDialog(parent), m_messages(messages) {
    setWindowTitle(tr("Order Server"));
    const ServerSettings saved = readServerSettings();
    optFile = new QRadioButton(tr("The order database file (zvData.mdb in the data folder)"));
    optServer = new QRadioButton(tr("A PostgreSQL order server"));
    (saved.useServer ? optServer : optFile)->setChecked(true);
    txtConnection = new QLineEdit(saved.connection);
    txtConnection->setPlaceholderText(
        QStringLiteral("postgresql://estimator@orders.example/shop  or  service=orders"));
    txtConnection->setMinimumWidth(420);
    auto *hint = new QLabel(tr("A postgresql:// address, key=value pairs or service=name. "
                               "Passwords go in ~/.pgpass, never here."));
    hint->setWordWrap(true);
    cmdTest = new QPushButton(tr("Test"));
    lblTest = new QLabel;
    lblTest->setWordWrap(true);
    // Room for what went wrong and the server's own words, a few lines long.
    lblTest->setMinimumHeight(lblTest->fontMetrics().lineSpacing() * 5);
    lblTest->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTest->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto *form = new QFormLayout;
    form->addRow(tr("Search orders in:"), optFile);
    form->addRow(QString(), optServer);
    form->addRow(tr("Connection:"), txtConnection);
    form->addRow(QString(), hint);
    form->addRow(cmdTest, lblTest);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(cmdTest, &QPushButton::clicked, this, &frmServer::cmdTest_Click);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmServer::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmServer::reject);
}

ServerSettings frmServer::chosen() const {
    return {optServer->isChecked(), txtConnection->text().trimmed()};
}

void frmServer::cmdTest_Click() {
    // Connecting may take the connect timeout: off this thread, so the
    // window keeps answering.
    cmdTest->setEnabled(false);
    lblTest->setText(tr("Connecting…"));
    auto result = std::make_shared<ServerCheck>();
    const std::string connection = txtConnection->text().trimmed().toStdString();
    QThread *worker = QThread::create([result, connection] { *result = checkServer(connection); });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, result] {
        cmdTest->setEnabled(true);
        lblTest->setText(result->ok ? tr("Connected: PostgreSQL %1, %2 orders.")
                                          .arg(QString::fromStdString(result->version))
                                          .arg(result->orders)
                                    : QString::fromStdString(result->failure));
        emit tested();
    });
    worker->start();
}

void frmServer::accept() {
    const ServerSettings settings = chosen();
    if (settings.useServer && settings.connection.isEmpty()) {
        m_messages.message(tr("Type the server's connection first.").toStdString());
        return;
    }
    // Nothing unusable is kept, and above all no password.
    const ServerConnection parsed = parseServerConnection(settings.connection.toStdString());
    if (!settings.connection.isEmpty() && !parsed.ok()) {
        m_messages.message(tr("The connection cannot be used: %1.")
                               .arg(QString::fromStdString(parsed.error))
                               .toStdString());
        return;
    }
    const Outcome written = writeServerSettings(settings);
    showMessages(m_messages, written);
    if (written.saysNothing())
        QDialog::accept();
}

} // namespace sheetcraft
