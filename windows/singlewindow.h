#pragma once

#include <QPointer>
#include <QWidget>

namespace sheetcraft {

// Shows a window and brings it to the user: restored when minimised, raised
// above the others and given the focus.
void bringToFront(QWidget *window);

// The one window of a kind in a run (the folder window, About, Versions):
// `create()` makes it when none is open; an open one is brought to the front
// as it is. The windows delete themselves when closed, which empties `open`.
template <typename Window, typename Create>
Window *showSingleWindow(QPointer<Window> &open, Create &&create) {
    if (!open)
        open = create();
    bringToFront(open);
    return open;
}

} // namespace sheetcraft
