#pragma once

#include "layprint.h"
#include "recordedpages.h"
#include "recordingsink.h"
#include "reportcontent.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sheetcraft::test {

// Letter paper less quarter-inch margins, at a printer's resolution.
inline constexpr double letterPrintableHeight = 15120;
inline constexpr double printerDpi = 600;

// The window's cells after a redraw of the sample sizes 2x3, 11x17, 23x35.
inline Cells drawnCells() {
    Cells cells;
    cells.txtFSS = "3x2";
    cells.txtPSS = "17x11";
    cells.txtPARS = "35x23";
    cells.txtName = "Acme Print";
    cells.txtJob = "4711";
    cells.txtQuote = "Q-88";
    cells.txtPartNo = "2";
    cells.txtDesc = "Letterhead";
    cells.txtStockDesc = "24# Bond";
    return cells;
}

inline FrameState frames(std::int16_t fss, std::int16_t pss, double fssOut = 0, double pssOut = 0) {
    FrameState f;
    f.fssFrame = fss;
    f.pssFrame = pss;
    f.fssFrameOut = fssOut;
    f.pssFrameOut = pssOut;
    return f;
}

struct LaidOutReport {
    std::unique_ptr<RecordedPages> pages;
    ReportLayout layout;

    const std::vector<DrawOp> &ops(int page = 0) const { return pages->pages().at(page)->ops(); }
    int pageCount() const { return static_cast<int>(pages->pages().size()); }

    // The first text op printing exactly `text`, on any page.
    const DrawOp *text(const std::string &text, int *page = nullptr) const {
        for (int p = 0; p < pageCount(); ++p)
            for (const DrawOp &op : ops(p))
                if (op.kind == DrawOp::Kind::Text && op.text == text) {
                    if (page)
                        *page = p;
                    return &op;
                }
        return nullptr;
    }
};

inline LaidOutReport layOut(const Cells &cells, const FrameState &state) {
    RecordingSink sink;
    const std::optional<ReportContent> content = prepareReport(cells, state, sink);
    EXPECT_TRUE(content.has_value()) << (sink.messages.empty() ? "" : sink.messages.front());
    LaidOutReport report;
    report.pages = std::make_unique<RecordedPages>(printerDpi, letterPrintableHeight);
    if (content)
        report.layout = layPrint(cells, state, *content, *report.pages);
    return report;
}

} // namespace sheetcraft::test
