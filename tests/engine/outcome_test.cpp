#include "outcome.h"

#include <gtest/gtest.h>

using namespace sheetcraft;

namespace {

// Every message the handlers can return, with the exact text the user sees.
TEST(MessageText, EveryKindHasItsExactText) {
    const struct {
        Message message;
        const char *text;
    } rows[] = {
        {{MessageKind::IncorrectSize}, "Warning: Incorrect Size Entered!"},
        {{MessageKind::DoesNotFit}, "WARNING: Finished Sheet Larger Than Allowable Press Sheet!"},
        {{MessageKind::OrderNotFound}, "Sorry... Job, Quote or Part Number not found."},
        {{MessageKind::InvalidDatabase, 3044},
         "Invalid Database. Please Correct Path Information."},
        {{MessageKind::LookupFailed, 3024}, "Error 3024. Click OK to Exit"},
        {{MessageKind::LookupFailed, 3343}, "Error 3343. Click OK to Exit"},
        {{MessageKind::PartNumberRange}, "Value must be between 1 and 9 only. Reverting to 1"},
        {{MessageKind::StartupFailed, 62}, "Error Number 62. Exit Job"},
        {{MessageKind::SettingsNotSaved, 0, "/home/u/.config/sheetcraft/zvkelck.dat",
          "Permission denied"},
         "The settings file /home/u/.config/sheetcraft/zvkelck.dat could not be saved: "
         "Permission denied."},
        {{MessageKind::ReportNoFonts},
         "The report could not be made: no font system is available."},
        {{MessageKind::ReportNotWritten, 0, "/tmp/100%2 off.pdf", "Is a directory"},
         "The report could not be written to /tmp/100%2 off.pdf: Is a directory."},
    };
    for (const auto &row : rows)
        EXPECT_EQ(messageText(row.message), row.text);
}

// The window passes its translator: the template is translated, then filled.
TEST(MessageText, TranslatesTheTemplateBeforeFillingIt) {
    const Translator shout = [](const char *text) { return "<" + std::string(text) + ">"; };
    EXPECT_EQ(messageText({MessageKind::StartupFailed, 75}, shout), "<Error Number 75. Exit Job>");
}

// Messages keep their order across outcomes; a later follow-up wins, none keeps the earlier.
TEST(Outcome, AddKeepsOrderAndTheLastFollowUp) {
    Outcome said;
    said.say(MessageKind::InvalidDatabase, 3044);
    said.then = FollowUp::ShowFolderWindow;
    Outcome clear;
    clear.say(MessageKind::IncorrectSize);
    said.add(clear);
    EXPECT_EQ(messageTexts(said),
              (std::vector<std::string>{"Invalid Database. Please Correct Path Information.",
                                        "Warning: Incorrect Size Entered!"}));
    EXPECT_EQ(said.then, FollowUp::ShowFolderWindow);
    said.add({{}, FollowUp::EndProgram});
    EXPECT_EQ(said.then, FollowUp::EndProgram);
    EXPECT_FALSE(said.saysNothing());
    EXPECT_TRUE(Outcome{}.saysNothing());
}

} // namespace
