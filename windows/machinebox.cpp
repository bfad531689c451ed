#include "machinebox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace sheetcraft {

MachineBox::MachineBox(QWidget *parent) : QGroupBox(tr("Cutter"), parent) {
    auto *grid = new QGridLayout(this);
    auto field = [&](const QString &label, const QString &tip, const QString &pattern, int column) {
        auto *text = new QLabel(label, this);
        auto *edit = new QLineEdit(this);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
        edit->setMaximumWidth(90);
        edit->setToolTip(tip);
        text->setBuddy(edit);
        grid->addWidget(text, 0, column);
        grid->addWidget(edit, 1, column);
        connect(edit, &QLineEdit::editingFinished, this, &MachineBox::changed);
        return edit;
    };
    const QString decimal = QStringLiteral("\\d{0,6}([.,]\\d{0,4})?");
    txtKnife = field(tr("Knife length"), tr("The longest cut the knife makes, in the job's units"),
                     decimal, 0);
    txtGauge = field(tr("Smallest gauge"),
                     tr("How close the back gauge comes to the knife; a narrower strip is cut "
                        "from the other side"),
                     decimal, 1);
    txtLift = field(tr("Lift (sheets)"), tr("The most sheets the clamp takes at once"),
                    QStringLiteral("\\d{0,7}"), 2);
}

void MachineBox::load(const CutPlanSettings &s, bool metric) {
    m_metric = metric;
    txtKnife->setText(metric ? s.knifeMm : s.knifeInch);
    txtGauge->setText(metric ? s.gaugeMm : s.gaugeInch);
    txtLift->setText(s.lift);
}

void MachineBox::store(CutPlanSettings &s) const {
    (m_metric ? s.knifeMm : s.knifeInch) = txtKnife->text();
    (m_metric ? s.gaugeMm : s.gaugeInch) = txtGauge->text();
    s.lift = txtLift->text();
}

} // namespace sheetcraft
