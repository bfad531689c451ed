#pragma once

#include "bestlayout.h"
#include "cutplan.h"
#include "recordingsurface.h"

#include <QWidget>

#include <memory>

namespace sheetcraft {

// Shows one guillotine layout with its numbered cuts, to scale and as large
// as the widget allows; redrawn whenever its size or its layout changes.
class CutLayoutView : public QWidget {
    Q_OBJECT
public:
    explicit CutLayoutView(QWidget *parent = nullptr);

    // The layout of a full sheet of sheetWidth x sheetDepth sheet units, or
    // nothing (an empty view) when `layout` is null. Both must outlive the
    // view or the next call.
    void showLayout(const Layout *layout, const CutPlan *plan, double sheetWidth,
                    double sheetDepth);
    // Pieces in the colour of their item (one per job of a gang run).
    void setItemColours(std::vector<Rgb> colours);
    // What the view shows at its current size, twips.
    const RecordingSurface &recording();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    double pixelsPerTwip() const;

    const Layout *m_layout = nullptr;
    const CutPlan *m_plan = nullptr;
    double m_sheetWidth = 0, m_sheetDepth = 0;
    std::vector<Rgb> m_itemColours;
    std::unique_ptr<RecordingSurface> m_recording; // null: to be drawn again
};

} // namespace sheetcraft
