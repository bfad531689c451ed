#pragma once

#include "lookupprocess.h"

class QWidget;

namespace sheetcraft {

// A long order search as the user sees it: a modal "Searching orders…" with
// Cancel over the window, gone by itself when the search ends.
class SearchProgress : public SearchWait {
public:
    explicit SearchProgress(QWidget *parent = nullptr) : m_parent(parent) {}
    bool waitForHelper(QProcess &helper) override;

private:
    QWidget *m_parent;
};

} // namespace sheetcraft
