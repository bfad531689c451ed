#pragma once

#include "cutplansettings.h"

#include <QGroupBox>

class QLineEdit;

namespace sheetcraft {

// The cutter the plans are made for: knife length, the smallest distance of
// the back gauge from the knife (both in the job's units) and the lift in
// sheets. Says `changed` when a value is left edited.
class MachineBox : public QGroupBox {
    Q_OBJECT
public:
    explicit MachineBox(QWidget *parent = nullptr);

    // Shows the settings' values for the unit set.
    void load(const CutPlanSettings &settings, bool metric);
    // Writes the fields into the settings' values for the unit set shown.
    void store(CutPlanSettings &settings) const;
    bool metric() const { return m_metric; }

    QLineEdit *txtKnife = nullptr;
    QLineEdit *txtGauge = nullptr;
    QLineEdit *txtLift = nullptr;

signals:
    void changed();

private:
    bool m_metric = false;
};

} // namespace sheetcraft
