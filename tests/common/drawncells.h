#pragma once

#include "cells.h"

#include <string>

namespace sheetcraft::test {

// The storage cells as a redraw leaves them, for report and printer tests.
inline Cells drawn(const std::string &pss = "17x11", const std::string &pars = "35x23",
                   const std::string &grip = "0.00", const std::string &fss = "3x2") {
    Cells c;
    c.txtFSS = fss;
    c.txtPSS = pss;
    c.txtPARS = pars;
    c.txtGrip = grip;
    return c;
}

} // namespace sheetcraft::test
