#include "painterreplay.h"
#include "recordingsurface.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace sheetcraft;

namespace {

QImage render(const RecordingSurface &surface, double dpi = 96) {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ReplayOptions options;
    options.pixelsPerTwip = dpi / 1440;
    replayRecording(surface, painter, options);
    return image;
}

bool isBlack(const QImage &image, int x, int y) {
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

// One hatched area plus its grid lines must look exactly like the boxes side by side.
TEST(Replay, GridLooksLikeItsBoxes) {
    struct Row {
        const char *name;
        double cellW, cellH;
        FillStyle style;
        Rgb fill;
    };
    for (const Row &row :
         {Row{"fractional hatched cells", 234, 156, FillStyle::DownwardDiagonal, red},
          Row{"cross-hatched cells", 300, 215, FillStyle::DiagonalCross, blue},
          Row{"solid cells", 180, 100, FillStyle::Solid, white}}) {
        SCOPED_TRACE(row.name);
        RecordingSurface grid(QApplication::font(), 96), boxes(QApplication::font(), 96);
        for (RecordingSurface *s : {&grid, &boxes}) {
            s->setFillColor(row.fill);
            s->setFillStyle(row.style);
        }
        grid.boxGrid(640, 650, row.cellW, row.cellH, 5, 4);
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 5; ++c)
                boxes.box(640 + (c - 1) * row.cellW, 650 + (r - 1) * row.cellH, 640 + c * row.cellW,
                          650 + r * row.cellH);
        EXPECT_EQ(render(grid), render(boxes));
        EXPECT_EQ(grid.currentX(), boxes.currentX());
        EXPECT_EQ(grid.currentY(), boxes.currentY());
    }
}

TEST(Replay, DenseGridKeepsItsOuterEdges) {
    RecordingSurface surface(QApplication::font(), 96);
    surface.setFillColor(red);
    surface.setFillStyle(FillStyle::DownwardDiagonal);
    // 0.002 units at scale 78: about a hundredth of a pixel per piece.
    surface.boxGrid(640, 640, 0.156, 0.156, 8500, 5500);
    const QImage image = render(surface);
    const int right = qRound((640 + 8500 * 0.156) / 15.0);
    const int bottom = qRound((640 + 5500 * 0.156) / 15.0);
    EXPECT_TRUE(isBlack(image, right, 60));
    EXPECT_TRUE(isBlack(image, 60, bottom));
    EXPECT_FALSE(isBlack(image, right + 2, 60));
}

TEST(Replay, LineWidthsAreDevicePixelsAtAnyScale) {
    struct Row {
        double dpi;
        int width;
    };
    for (const Row &row : {Row{96, 1}, Row{384, 1}, Row{384, 3}}) {
        SCOPED_TRACE(row.dpi);
        RecordingSurface surface(QApplication::font(), row.dpi);
        surface.setLineWidth(row.width);
        surface.line(0, 300, 1400, 300);
        const QImage image = render(surface, row.dpi);
        int top = qRound(300 * row.dpi / 1440);
        while (top > 0 && isBlack(image, 10, top - 1))
            --top;
        int run = 0;
        while (isBlack(image, 10, top + run))
            ++run;
        EXPECT_EQ(run, row.width);
    }
}

TEST(Replay, TextHangsBelowItsPosition) {
    RecordingSurface surface(QApplication::font(), 96);
    surface.moveTo(600, 600);
    surface.print("MMMM", false);
    const QImage image = render(surface);
    const int x0 = 40, y0 = 40; // 600 twips at 96 DPI
    const int w = qRound(surface.textWidth("MMMM") / 15), h = qRound(surface.textHeight() / 15);
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++(x >= x0 && x <= x0 + w && y >= y0 && y <= y0 + h ? inside : outside);
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

} // namespace
