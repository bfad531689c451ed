#pragma once

#include "stageplan.h"

#include <QJsonObject>
#include <QTextStream>

#include <optional>

namespace sheetcraft {

QJsonObject bestJson(const StagePlan &stage);
QJsonObject orderJson(const OrderQuantities &order);

void printBest(QTextStream &out, const StagePlan &stage);
void printOrder(QTextStream &out, const OrderQuantities &best,
                const std::optional<OrderQuantities> &frames);

} // namespace sheetcraft
