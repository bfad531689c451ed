#include "frmlayout.h"
#include "frmpath.h"
#include "recordingsink.h"
#include "twipsplacement.h"

#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace sheetcraft;

namespace {

// A window placed for one DPI and then moved to a screen of another is placed
// again from its designed twips, drawing included; moving back restores it.
TEST(TwipsPlacement, ChangeOfScreenPlacesTheWindowAgain) {
    test::RecordingSink sink;
    frmLayOut w(sink);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect arrow = w.cmdARFSS->geometry();
    const QSize client = w.centralWidget()->size();
    EXPECT_EQ(arrow, QRect(168, 40, 33, 33));

    w.placement().setScale(TwipsScale(144)); // 10 twips to the pixel
    EXPECT_EQ(w.cmdARFSS->geometry(), QRect(252, 60, 50, 50));
    EXPECT_EQ(w.centralWidget()->size(), QSize(734, 753));
    EXPECT_EQ(w.cmdARFSS->iconSize(), QSize(30, 30));
    EXPECT_EQ(w.Command1->geometry(), QRect(348, 504, 86, 38)); // 3480, 5040, 855, 375

    // Back on the window's own screen, as Qt reports a move.
    emit w.windowHandle()->screenChanged(w.windowHandle()->screen());
    EXPECT_EQ(w.cmdARFSS->geometry(), arrow);
    EXPECT_EQ(w.centralWidget()->size(), client);
    EXPECT_EQ(w.cmdARFSS->iconSize(), arrow.size() * 0.6);

    frmPath folder(sink);
    const QSize designed = folder.size();
    folder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&folder));
    EXPECT_EQ(designed, QSize(577, 376));
    folder.findChild<TwipsPlacement *>()->setScale(TwipsScale(192));
    EXPECT_EQ(folder.size(), QSize(1154, 752));
    EXPECT_EQ(folder.cmdPath->geometry(), QRect(496, 640, 162, 66));
}

} // namespace
