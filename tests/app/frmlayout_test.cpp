#include "frmlayout.h"
#include "qtmessagesink.h"
#include "recordingsink.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using namespace sheetcraft;

namespace {

// First in the file: the Exit test below ends every later event loop of this
// process, which a modal box needs.
TEST(QtMessageSinkBox, OkButtonNoIconAndTheProgramsTitle) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButtons buttons;
    // Poll until the box is up: other windows' pending events may come first.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->accept();
    });
    poll.start(10);
    QtMessageSink sink;
    sink.message("Warning: Incorrect Size Entered!");
    EXPECT_EQ(title, "Sheetcraft");
    EXPECT_EQ(text, "Warning: Incorrect Size Entered!");
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, QMessageBox::Ok);
}


class Window : public ::testing::Test {
protected:
    void SetUp() override {
        w = std::make_unique<frmLayOut>(sink);
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }

    // Everything drawn, one line per operation, to compare pictures.
    std::string picture() const {
        std::ostringstream out;
        for (const DrawOp &op : w->surface().ops())
            out << int(op.kind) << ' ' << op.x1 << ' ' << op.y1 << ' ' << op.x2 << ' ' << op.y2
                << ' ' << op.cols << 'x' << op.rows << ' ' << op.text << '\n';
        return out.str();
    }

    // The value printed in a panel row whose caption starts with `caption`.
    std::string panelValue(double left, const std::string &caption) const {
        for (const DrawOp &c : w->surface().ops())
            if (c.kind == DrawOp::Kind::Text && c.x1 == left && c.text.rfind(caption, 0) == 0)
                for (const DrawOp &v : w->surface().ops())
                    if (v.kind == DrawOp::Kind::Text && v.x1 == left + 1540 && v.y1 == c.y1)
                        return v.text;
        return "<none>";
    }

    const DrawOp *gripperStrip() const {
        for (const DrawOp &op : w->surface().ops())
            if (op.kind == DrawOp::Kind::Box && op.fillColour == blue && op.x1 == 640 &&
                op.y1 == 640)
                return &op;
        return nullptr;
    }

    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    void typeInto(QLineEdit *edit, const QString &text) {
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    test::RecordingSink sink;
    std::unique_ptr<frmLayOut> w;
};

TEST_F(Window, FreshStartShowsOnlyTheDirectionsAndThreeButtons) {
    EXPECT_TRUE(w->directionsVisible());
    EXPECT_TRUE(w->surface().ops().empty());
    EXPECT_TRUE(w->Command1->isVisible());
    EXPECT_EQ(w->Command1->text(), "Clear");
    EXPECT_TRUE(w->Command3->isVisible());
    EXPECT_EQ(w->Command3->text(), "Print Layouts");
    EXPECT_TRUE(w->Command2->isVisible());
    EXPECT_EQ(w->Command2->text(), "Exit");
    EXPECT_FALSE(w->cmdMaxOut->isVisible());
    EXPECT_TRUE(w->optWidth->isChecked());
    EXPECT_TRUE(w->optJob->isChecked());
    EXPECT_FALSE(w->txtGutter->isEnabled());
    EXPECT_FALSE(w->lblGutter->isEnabled());
    EXPECT_EQ(w->minimumSize(), w->maximumSize()); // not resizable
}

TEST_F(Window, ControlsAtTheirDesignedPlaces) {
    struct Row {
        const char *name;
        QWidget *widget;
        QRect twips; // relative to its parent, as designed
    };
    const Row rows[] = {
        {"cmdARFSS", w->cmdARFSS, {2520, 600, 495, 495}},
        {"Command2", w->Command2, {6000, 5040, 1215, 375}},
        {"txtSize(2)", w->txtSize[2], {5760, 5760, 1215, 285}},
        {"frGripper", w->frGripper, {120, 4920, 2295, 1215}},
        {"optDepth in its frame", w->optDepth, {960, 240, 735, 255}},
        {"txtDesc in its frame", w->txtDesc, {1200, 960, 5775, 285}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        // 15 twips to the pixel at 96 DPI.
        EXPECT_EQ(row.widget->geometry(), QRect(row.twips.x() / 15, row.twips.y() / 15,
                                                row.twips.width() / 15, row.twips.height() / 15));
    }
    EXPECT_EQ(w->centralWidget()->size(), QSize(489, 502));
}

TEST_F(Window, MenuTree) {
    const auto captions = [](QMenu *menu) {
        QStringList out;
        for (QAction *a : menu->actions())
            out << (a->isSeparator() ? "-" : a->text());
        return out;
    };
    EXPECT_EQ(captions(w->mnuFile), QStringList({"Kelvane", "Text (Dos)", "-", "SetUp"}));
    EXPECT_EQ(captions(w->mnuSetup), QStringList({"Path", "Printer", "Metric Units"}));
    EXPECT_EQ(captions(w->mnuHelp), QStringList({"About", "Reset", "Versions"}));
    EXPECT_TRUE(w->mnuTxt->isChecked());
    EXPECT_FALSE(w->mnuKel->isChecked());
}

TEST_F(Window, TabOrderFollowsTheDesign) {
    QWidget *const expected[] = {
        w->cmdSearch, w->Command1, w->txtSize[0], w->txtSize[1],   w->txtSize[2], w->Command2,
        w->Command3,  w->optJob,   w->txtSearch,  w->txtStockDesc, w->txtName,    w->txtQuote,
        w->txtJob,    w->txtDesc,  w->cmdARFSS,   w->cmdARPSS,     w->txtGrip};
    QWidget *at = expected[0];
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        do {
            at = at->nextInFocusChain();
        } while (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisibleTo(w.get()) ||
                 !at->isEnabled() || at == w->optQuote);
        EXPECT_EQ(at, expected[i]) << "after tab stop " << i;
    }
}

TEST_F(Window, ArrowsStepAndWrapTheirDiagrams) {
    struct Step {
        char arrow; // 'F' finished, 'P' press
        int fss;
        int pss;
    };
    // The press diagram's frames 2 and 4 hold no stagger block and are passed over.
    const Step steps[] = {{'F', 1, 1}, {'F', 2, 1}, {'F', 3, 1}, {'F', 4, 1},
                          {'F', 1, 1}, {'P', 1, 3}, {'P', 1, 1}, {'P', 1, 3}};
    for (const Step &s : steps) {
        click(s.arrow == 'F' ? w->cmdARFSS : w->cmdARPSS);
        SCOPED_TRACE(std::string(1, s.arrow) + " to " + std::to_string(s.fss) + "/" +
                     std::to_string(s.pss));
        EXPECT_FALSE(w->directionsVisible());
        EXPECT_EQ(w->session.frames.fssFrame, s.fss);
        EXPECT_EQ(w->session.frames.pssFrame, s.pss);
        EXPECT_EQ(panelValue(640, " FRAME #"), " " + std::to_string(s.fss) + " ");
        EXPECT_EQ(panelValue(4000, " FRAME #"), " " + std::to_string(s.pss) + " ");
    }
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(Window, ClearHidesTheDirectionsAndGoesBackToFrameOne) {
    click(w->cmdARFSS);
    click(w->cmdARFSS);
    click(w->cmdARPSS);
    w->setDirectionsVisible(true);
    click(w->Command1);
    EXPECT_FALSE(w->directionsVisible());
    EXPECT_EQ(panelValue(640, " FRAME #"), " 1 ");
    EXPECT_EQ(panelValue(4000, " FRAME #"), " 1 ");
}

TEST_F(Window, GripperOptionByClickRedrawsAndMovesTheFocus) {
    typeInto(w->txtGrip, "0.25");
    click(w->optDepth);
    EXPECT_TRUE(w->optDepth->isChecked());
    EXPECT_FALSE(w->optWidth->isChecked());
    EXPECT_TRUE(w->txtName->hasFocus());
    EXPECT_FALSE(w->directionsVisible());
    ASSERT_NE(gripperStrip(), nullptr);
    EXPECT_EQ(gripperStrip()->x2, 660);            // strip on the depth edge
    EXPECT_EQ(panelValue(640, " FRAME #"), " 0 "); // no step taken yet

    // Clicking again redraws again, now with the new gripper.
    typeInto(w->txtGrip, "0.5");
    click(w->optDepth);
    ASSERT_NE(gripperStrip(), nullptr);
    EXPECT_EQ(gripperStrip()->x2, 679);
    EXPECT_TRUE(w->txtName->hasFocus());
}

TEST_F(Window, GripperOptionByTabActsLikeAClick) {
    typeInto(w->txtGrip, "0.5");
    QTest::keyClick(w->txtGrip, Qt::Key_Tab); // the gutter cell is disabled: on to the option
    EXPECT_TRUE(w->optWidth->isChecked());
    ASSERT_NE(gripperStrip(), nullptr);
    EXPECT_EQ(gripperStrip()->y2, 679); // strip on the width edge
    EXPECT_TRUE(w->txtName->hasFocus());
}

TEST_F(Window, WindowSwitchesAreNotControlFocusChanges) {
    click(w->cmdARFSS);
    const std::string before = picture();
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w->optDepth, &in);
    QFocusEvent popupIn(QEvent::FocusIn, Qt::PopupFocusReason);
    QApplication::sendEvent(w->optDepth, &popupIn);
    EXPECT_EQ(picture(), before);
    EXPECT_TRUE(w->optWidth->isChecked());

    w->txtSize[1]->setText("1117");
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w->txtSize[1], &out);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(Window, LeavingASizeCell) {
    struct Row {
        const char *typed;
        const char *left;
        bool warns;
    };
    const Row rows[] = {{"17X11", "11x17", false},
                        {"12x12", "12x12", false},
                        {"1117", "1117", true},
                        {"0x17", "0x17", true},
                        {"x17", "x17", true}};
    click(w->cmdARFSS);
    const std::string drawn = picture();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed);
        sink.messages.clear();
        typeInto(w->txtSize[1], row.typed);
        QTest::keyClick(w->txtSize[1], Qt::Key_Tab);
        EXPECT_EQ(w->txtSize[1]->text().toStdString(), row.left);
        EXPECT_EQ(sink.messages.size(), row.warns ? 1u : 0u);
        if (row.warns) {
            EXPECT_EQ(sink.messages.front(), "Warning: Incorrect Size Entered!");
        }
        EXPECT_EQ(picture(), drawn); // leaving a cell draws nothing
    }
}

TEST_F(Window, BadSizeKeepsThePictureOnTheNextStep) {
    click(w->cmdARFSS);
    const std::string drawn = picture();
    w->txtSize[0]->setText("2x");
    click(w->cmdARPSS);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Warning: Incorrect Size Entered!"});
    EXPECT_EQ(picture(), drawn);
}

TEST_F(Window, ChangingTheGripperAloneRedrawsNothing) {
    click(w->cmdARFSS);
    const std::string drawn = picture();
    typeInto(w->txtGrip, "0.5");
    QTest::keyClick(w->txtGrip, Qt::Key_Backtab);
    EXPECT_EQ(picture(), drawn);
    EXPECT_EQ(gripperStrip(), nullptr);
}

TEST_F(Window, AnyKeyInTheSearchCellHidesTheDirections) {
    QTest::keyClick(w->txtSearch, Qt::Key_5);
    EXPECT_FALSE(w->directionsVisible());
}

TEST_F(Window, PictureSurvivesRepainting) {
    click(w->cmdARFSS);
    for (int pass = 0; pass < 2; ++pass) {
        const QImage shot = w->centralWidget()->grab().toImage();
        // Somewhere inside the first piece a red hatch line is painted.
        int red = 0;
        for (int y = 43; y < 53; ++y)
            for (int x = 43; x < 58; ++x)
                red += shot.pixel(x, y) == qRgb(255, 0, 0);
        EXPECT_GT(red, 0) << "pass " << pass;
    }
}

TEST_F(Window, ExitClosesTheWindow) {
    click(w->Command2);
    EXPECT_FALSE(w->isVisible());
}

} // namespace
