#include "panel.h"

#include "numberformat.h"

namespace sheetcraft {

namespace {

PanelRow plain(const char *caption, double value) {
    return {caption, plainNumber(value), PanelRow::Kind::Plain};
}

PanelRow patterned(const char *caption, double value, std::string_view pattern,
                   PanelRow::Kind kind = PanelRow::Kind::Plain) {
    return {caption, " " + formatPattern(value, pattern), kind};
}

} // namespace

std::vector<PanelRow> panelRows(const DiagramValues &v, PanelMedium medium) {
    const bool finished = v.diagram == Diagram::Finished;
    const bool report = medium == PanelMedium::Report;

    std::vector<PanelRow> rows;
    rows.reserve(13);
    rows.push_back(plain(" FRAME #            ", v.frame));
    rows.push_back(plain(" STANDARD OUT       ", v.standardOut()));
    if (v.showsStagger()) {
        rows.push_back(plain(" STAGGER OUT        ", v.staggerOut()));
        rows.push_back(plain(" TOTAL OUT          ", v.totalOut()));
    }
    rows.push_back(plain(" MAXIMUM OUT        ", v.maximumOut()));

    if (finished) {
        rows.push_back(patterned(" PSW-SHT WIDTH      ", v.fullSheetWidth, "###.###0"));
        rows.push_back(patterned(" PSD-SHT DEPTH      ", v.fullSheetDepth, "###.###0"));
        if (v.gripper > 0)
            rows.push_back(patterned(report ? "  = GRIPPER     " : "  = GRIPPER   ", v.gripper,
                                     "0.###0", PanelRow::Kind::Gripper));
        rows.push_back(patterned(" X=FIN SHT DIM      ", v.pieceWidth, "###.###0"));
        rows.push_back(patterned(" Y=FIN SHT DIM      ", v.pieceDepth, "###.###0"));
    } else {
        rows.push_back(patterned(report ? " PARS-SHT WIDTH     " : " WID-SHT WIDTH      ",
                                 v.fullSheetWidth, "###.###0"));
        rows.push_back(patterned(report ? " PARS-SHT DEPTH     " : " DEP-SHT DEPTH      ",
                                 v.fullSheetDepth, "###.###0"));
        rows.push_back(patterned(" X=PRS SHT DIM      ", v.pieceWidth, "###.###0"));
        rows.push_back(patterned(" Y=PRS SHT DIM      ", v.pieceDepth, "###.###0"));
    }

    if (v.showsStagger()) {
        rows.push_back(patterned(" x=SWING CUT        ", v.swingCutX(), "###.###0"));
        rows.push_back(patterned(" y=SWING CUT        ", v.swingCutY(), "###.###0"));
    }
    rows.push_back({" % STOCK WASTE      ", " " + formatPattern(v.stockWastePct, "###.0") + "%",
                    PanelRow::Kind::Plain});
    return rows;
}

} // namespace sheetcraft
