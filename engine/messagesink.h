#pragma once

#include <string>

namespace sheetcraft {

// Where the program's messages go. The window shows a modal box (OK button,
// no icon, the application's title) and waits for OK; tests record them; the
// calculator writes them to standard error.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void message(const std::string &text) = 0;
};

} // namespace sheetcraft
