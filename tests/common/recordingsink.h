#pragma once

#include "messagesink.h"

#include <string>
#include <vector>

namespace sheetcraft::test {

// Keeps every message instead of showing a modal box.
class RecordingSink : public MessageSink {
public:
    void message(const std::string &text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

} // namespace sheetcraft::test
