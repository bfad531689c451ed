#pragma once

#include "recordingsurface.h"

#include <string>
#include <vector>

namespace sheetcraft::test {

// Picks the operations of one kind out of a recording, in drawing order.
inline std::vector<DrawOp> opsOf(const RecordingSurface &s, DrawOp::Kind kind) {
    std::vector<DrawOp> out;
    for (const DrawOp &op : s.ops())
        if (op.kind == kind)
            out.push_back(op);
    return out;
}

// The text printed at (x, y), or "<none>".
inline std::string textAt(const RecordingSurface &s, double x, double y) {
    for (const DrawOp &op : s.ops())
        if (op.kind == DrawOp::Kind::Text && op.x1 == x && op.y1 == y)
            return op.text;
    return "<none>";
}

} // namespace sheetcraft::test
