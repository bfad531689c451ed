#include "application.h"
#include "frmlayout.h"
#include "qtmessagesink.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    sheetcraft::setUpApplication();

    sheetcraft::QtMessageSink messages;
    sheetcraft::frmLayOut window(messages);
    messages.setParentWidget(&window);

    // A start-up failure has shown its message already; the run ends here.
    bool failed = false;
    const auto next = window.Form_Load([&failed] { failed = true; });
    if (failed || next == sheetcraft::StartupState::Next::EndProgram)
        return 1;
    if (next == sheetcraft::StartupState::Next::ShowMainWindow)
        window.show();
    return app.exec();
}
