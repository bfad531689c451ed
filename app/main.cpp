#include "frmlayout.h"
#include "pictures.h"
#include "qtmessagesink.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sheetcraft"));
    QApplication::setApplicationDisplayName(QStringLiteral("Sheetcraft"));
    QApplication::setDesktopFileName(QStringLiteral("sheetcraft"));
    QApplication::setWindowIcon(sheetcraft::applicationIcon());

    sheetcraft::QtMessageSink messages;
    sheetcraft::frmLayOut window(messages);
    messages.setParentWidget(&window);
    window.show();
    return app.exec();
}
