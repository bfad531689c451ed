#include "application.h"
#include "frmlayout.h"
#include "qtmessagesink.h"

#include <QApplication>

#include <csignal>

int main(int argc, char **argv) {
    // Past a file-size limit a write then fails with EFBIG, which the write's
    // own check reports, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    sheetcraft::setUpApplication();

    sheetcraft::QtMessageSink messages;
    sheetcraft::frmLayOut window(messages);
    messages.setParentWidget(&window);
    // The window decides when the run ends; the application leaves its loop.
    QObject::connect(&window, &sheetcraft::frmLayOut::programEnding, &app,
                     [](int exitCode) { QCoreApplication::exit(exitCode); });

    const auto next = window.Form_Load();
    // A start-up failure has said why and closed the windows before the
    // event loop ever ran: there is no loop to leave.
    if (next == sheetcraft::StartupState::Next::EndProgram)
        return 1;
    if (next == sheetcraft::StartupState::Next::ShowMainWindow)
        window.show();
    return app.exec();
}
