#pragma once

#include "frmlayout.h"
#include "recordingsink.h"
#include "settingsfiles.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace sheetcraft::test {

// A main window shown on the offscreen platform, with a settings folder of
// its own that starts and ends empty.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(settingsFolder()).removeRecursively();
        main = std::make_unique<frmLayOut>(sink);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    void TearDown() override {
        main.reset(); // takes its windows with it
        QDir(settingsFolder()).removeRecursively();
    }

    // The visible top-level window of that class, as a menu entry opened it.
    template <class Window> static Window *shownWindow() {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<Window *>(top); window && window->isVisible())
                return window;
        return nullptr;
    }

    RecordingSink sink;
    std::unique_ptr<frmLayOut> main;
};

} // namespace sheetcraft::test
