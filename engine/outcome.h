#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sheetcraft {

// Everything a handler can have to tell the user. The texts are made by
// messageText, in one place, for the window and the calculator alike.
enum class MessageKind {
    IncorrectSize,     // a size cell fails the size check
    DoesNotFit,        // a piece larger than its sheet
    OrderNotFound,     // no order of that kind, number and part
    InvalidDatabase,   // the database folder is wrong (lookup failure 3044)
    LookupFailed,      // any other lookup failure; `number` says which
    PartNumberRange,   // part number outside 1 to 9
    StartupFailed,     // the location file cannot be read in full; `number`
    SettingsNotSaved,  // `subject` is the file, `reason` why
    SettingsNotRead,   // `subject` is the file, `reason` why; it was written anew
    ReportNoFonts,     // no font system to measure the report's text
    ReportNotWritten,  // `subject` is the file, `reason` why
    CutPlanNoFonts,    // no font system to measure the cut plan's text
    CutPlanNotWritten, // `subject` is the file, `reason` why
    ServerFailed,      // an order server cannot be searched: `subject` what, `reason` its words
};

struct Message {
    Message(MessageKind what, int errorNumber = 0, std::string about = {}, std::string why = {})
        : kind(what), number(errorNumber), subject(std::move(about)), reason(std::move(why)) {}
    MessageKind kind;
    int number;
    std::string subject;
    std::string reason;
    bool operator==(const Message &) const = default;
};

// What the window must do once the messages have been shown.
enum class FollowUp {
    None,
    EndProgram,       // close every window and leave the event loop
    ShowFolderWindow, // hide the main window and open the folder window
    FocusPartNumber,  // put the focus in the part-number cell
    RunClear,         // run Clear: both frames to 1 and redraw
    EraseDrawing,     // erase both diagrams and panels and show the directions;
                      // nothing is redrawn until the next action
};

// What a handler below the window layer hands back instead of showing it:
// the messages, in the order they arose, and what must follow them.
struct Outcome {
    std::vector<Message> messages;
    FollowUp then = FollowUp::None;

    void say(Message message) { messages.push_back(std::move(message)); }
    void say(MessageKind kind, int number = 0) { messages.emplace_back(kind, number); }
    // Appends another outcome's messages; its follow-up, when it has one, wins.
    void add(Outcome other);
    bool saysNothing() const { return messages.empty() && then == FollowUp::None; }
};

// Turns a message template (the English text, with %1 and %2 for the number
// or subject and the reason) into the language shown. Empty: English.
using Translator = std::function<std::string(const char *text)>;

// The text the user sees for a message: "Warning: Incorrect Size Entered!",
// "Error Number 62. Exit Job", "Error 3024. Click OK to Exit", ...
std::string messageText(const Message &message, const Translator &translate = {});

// Every message of an outcome, in order.
std::vector<std::string> messageTexts(const Outcome &outcome, const Translator &translate = {});

} // namespace sheetcraft
