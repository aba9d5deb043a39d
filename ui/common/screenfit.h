#pragma once

#include <QSize>

class QWidget;

// Windows and dialogs on small screens (1366 × 768, 1920 × 1080 at 150 %): a
// specified size where the screen's available area holds it, else that area,
// so that no status bar or button lies off-screen. Nothing changes where the
// area holds the specified size.
namespace ScreenFit {

// The available area of the widget's screen less the window frame (guessed
// from the style until the window system has drawn one).
QSize availableClientSize(const QWidget *window);

// Sets the minimum size to `minimum`, or the available area where that is
// smaller, and keeps a larger window inside the area. Applied again when the
// window is shown and when it moves to another screen.
void limitMinimumSize(QWidget *window, QSize minimum);
// Resizes to `size`, or the available area where that is smaller; a dialog
// whose minimum size exceeds the area gets the area as its minimum too.
void resizeWithinScreen(QWidget *window, QSize size);

} // namespace ScreenFit
