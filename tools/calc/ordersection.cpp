#include "ordersection.h"

namespace sheetcraft {

QJsonObject foundOrderJson(const Cells &cells) {
    auto text = [](const std::string &s) { return QString::fromStdString(s); };
    return {{"kind", cells.optJob ? "job" : "quote"}, {"number", text(cells.txtSearch)},
            {"part", text(cells.txtPartNo)},          {"company", text(cells.txtName)},
            {"description", text(cells.txtDesc)},     {"stock", text(cells.txtStockDesc)},
            {"gripper", text(cells.txtGrip)},         {"gutter", text(cells.txtGutter)}};
}

} // namespace sheetcraft
