#include "qtmessagesink.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

namespace sheetcraft {

void QtMessageSink::message(const std::string &text) {
    QMessageBox box(QMessageBox::NoIcon,
                    QCoreApplication::translate("sheetcraft::QtMessageSink", "Sheetcraft"),
                    QString::fromStdString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace sheetcraft
