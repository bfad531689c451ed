#pragma once

#include "outcome.h"

#include <string>
#include <vector>

namespace sheetcraft::test {

// Keeps the text of every message the handlers return, in order, and the
// follow-up of the last outcome.
struct SaidLog {
    std::vector<std::string> messages;
    FollowUp then = FollowUp::None;
    void add(const Outcome &said) {
        for (const std::string &text : messageTexts(said))
            messages.push_back(text);
        then = said.then;
    }
};

} // namespace sheetcraft::test
