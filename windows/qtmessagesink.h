#pragma once

#include "messagesink.h"

class QWidget;

namespace sheetcraft {

// Shows each message in a modal box over the main window and waits for OK.
class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParentWidget(QWidget *parent) { m_parent = parent; }
    void message(const std::string &text) override;

private:
    QWidget *m_parent;
};

} // namespace sheetcraft
