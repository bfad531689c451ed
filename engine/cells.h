#pragma once

#include <array>
#include <string>

namespace sheetcraft {

// The text cells and option states of the main window, as the handlers see
// them. The window copies its widgets into this before a handler runs and back
// afterwards, so every handler's logic works on plain text and can be tested
// and reused without widgets.
struct Cells {
    // Primary size cells, entry form: finished, press, parent sheet.
    std::array<std::string, 3> txtSize{"2x3", "11x17", "23x35"};
    // Storage cells, storage form (larger number first); rewritten by every redraw.
    std::string txtFSS = "FSS";
    std::string txtPSS = "PSS";
    std::string txtPARS = "PARS";
    // Scratch cells the drawing uses when it turns the piece for a stagger block.
    std::array<std::string, 2> txtSwap{"Text1", "Text1"};

    std::string txtGrip = "0.00";   // gripper, sheet units
    std::string txtGutter = "0.00"; // enters no computation
    bool optWidth = true;           // gripper strip along the width edge; optDepth otherwise

    // Job and quote fields.
    bool optJob = true; // optQuote otherwise
    std::string txtSearch;
    std::string txtPartNo = "1";
    std::string txtStockDesc;
    std::string txtName;
    std::string txtQuote;
    std::string txtJob;
    std::string txtDesc;
};

} // namespace sheetcraft
