#pragma once

#include "outcome.h"

#include <string>

namespace sheetcraft {

// Where the program's messages go. The window shows a modal box (OK button,
// no icon, the application's title) and waits for OK; tests record them.
// Only the window layer holds one: the code below it returns what it has to
// say (see Outcome), and the window says it here once the handler is done.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void message(const std::string &text) = 0;
};

// A message template in the language shown; the one translation context of
// every message below the window layer.
std::string translateMessage(const char *text);

// Says every message of `said`, in order, in the language shown.
void showMessages(MessageSink &sink, const Outcome &said);

} // namespace sheetcraft
