// The "Gang Run" window on the offscreen platform: opened from the Tools menu,
// four card and postcard jobs computed off the GUI thread, the results shown,
// the job list kept, and the printed pages.

#include "cutlayoutview.h"
#include "frmgangrun.h"
#include "frmlayout.h"
#include "gangjobs.h"
#include "gangprint.h"
#include "mainwindowtest.h"
#include "recordingsink.h"
#include "settingsfiles.h"

#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

using namespace sheetcraft;
using sheetcraft::test::RecordingSink;

namespace {

using GangWindow = sheetcraft::test::MainWindowTest;

TEST_F(GangWindow, ComputesFourJobsAndKeepsThem) {
    main->txtSize[1]->setText("28x40");
    main->mnuGang->trigger();
    frmGangRun *w = shownWindow<frmGangRun>();
    ASSERT_TRUE(w);

    const std::vector<GangJob> jobs{{"Postcard A", 6, 4, 5000, GrainRule::Any},
                                    {"Postcard B", 6, 4, 2500, GrainRule::Any},
                                    {"Cards", 3.5, 2, 10000, GrainRule::Along},
                                    {"Flyer", 8.5, 5.5, 3000, GrainRule::Any}};
    w->setJobs(jobs);
    w->txtMakeReady->setText("50");
    QSignalSpy done(w, &frmGangRun::computed);
    QTest::mouseClick(w->cmdCompute, Qt::LeftButton);
    EXPECT_TRUE(w->cmdCancel->isEnabled()); // the window answers while it works
    ASSERT_TRUE(done.wait(30000));
    ASSERT_TRUE(w->result());
    const GangPlan &g = w->result()->plan;
    ASSERT_EQ(g.status, GangPlan::Status::Planned);
    EXPECT_EQ(w->lstTemplates->count(), static_cast<int>(g.templates.size()));
    EXPECT_EQ(w->tblResults->rowCount(), 4);
    EXPECT_TRUE(w->lblTotals->text().contains(QString::number(g.lowerBound)));
    EXPECT_FALSE(w->txtCuts->toPlainText().isEmpty());
    EXPECT_TRUE(sink.messages.empty());

    // The printed pages: one per template and the summary.
    GangDocument doc{w->result()->problem, g, w->result()->layouts, w->result()->cutPlans, {}};
    const QByteArray pdf = renderGangPdf(doc);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"),
              static_cast<int>(g.templates.size()) + 1);

    // Cancel stops a longer search; the window says so and can compute again.
    w->spnTemplates->setValue(8);
    QTest::mouseClick(w->cmdCompute, Qt::LeftButton);
    QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
    ASSERT_TRUE(done.wait(30000));
    // A machine quick enough may finish first.
    const auto status = w->result()->plan.status;
    EXPECT_TRUE(status == GangPlan::Status::Cancelled || status == GangPlan::Status::Planned);
    EXPECT_TRUE(w->cmdCompute->isEnabled());

    // Closing keeps the list in the settings folder for the next time.
    w->close();
    QFile kept(QDir(settingsFolder()).filePath(frmGangRun::jobsFileName));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const GangJobsRead read = readGangJobs(kept.readAll().toStdString());
    ASSERT_EQ(read.jobs.size(), jobs.size());
    EXPECT_EQ(read.jobs[2].name, "Cards");
    EXPECT_EQ(read.jobs[2].grain, GrainRule::Along);
}

} // namespace
