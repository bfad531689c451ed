#include "qtmessagesink.h"

#include <QMessageBox>
#include <QString>

namespace sheetcraft {

void QtMessageSink::message(const std::string &text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Sheetcraft"), QString::fromStdString(text),
                    QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace sheetcraft
