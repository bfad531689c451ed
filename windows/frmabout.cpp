#include "frmabout.h"

#include "pictures.h"
#include "singlewindow.h"
#include "version.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace sheetcraft {

namespace {
QPointer<frmAbout> g_openWindow;
} // namespace

frmAbout::frmAbout(MessageSink &messages, QWidget *parent) : QDialog(parent), m_messages(messages) {
    setWindowTitle(tr("About Sheetcraft"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    picIcon = new QLabel(this);
    picIcon->setPixmap(applicationIcon().pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(tr("Zorvath Sheetcraft"), this);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = new QLabel(tr("Version %1").arg(QLatin1String(versionText)), this);

    lblDescription = new QLabel(
        tr("Sheetcraft works out how many finished pieces can be cut from a press sheet and how "
           "many press sheets from a parent sheet. It takes the sizes either as you type them or "
           "from the order-entry database (zvData.mdb), which it only reads and never changes."),
        this);
    lblDescription->setWordWrap(true);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    Label1 = new QLabel(tr("Written for the Zorvath press room and estimating office."), this);
    Label2 = new QLabel(tr("Copyright \u00a9 Zorvath. All rights reserved."), this);

    lblDisclaimer = new QLabel(
        tr("Warning: this program is protected by copyright law. Reproducing or distributing it, "
           "or "
           "any part of it, without written permission is prohibited and may lead to civil and "
           "criminal prosecution."),
        this);
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdSysInfo = new QPushButton(tr("&System Info..."), this);
    cmdSysInfo->setAutoDefault(false);
    // Esc closes through QDialog::reject, Enter through the default button.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto *text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(lblDescription);
    text->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *credits = new QVBoxLayout;
    credits->addWidget(Label1);
    credits->addWidget(Label2);
    credits->addSpacing(8);
    credits->addWidget(lblDisclaimer);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();

    auto *bottom = new QHBoxLayout;
    bottom->addLayout(credits, 1);
    bottom->addSpacing(12);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addLayout(bottom);

    // Word-wrapped labels only get the height they need at a known width.
    lblDescription->setFixedWidth(400);
    lblDisclaimer->setFixedWidth(340);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    cmdOK->setFocus();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(m_messages, launcher);
}

frmAbout *frmAbout::showWindow(MessageSink &messages) {
    return showSingleWindow(g_openWindow, [&] { return new frmAbout(messages); });
}

} // namespace sheetcraft
