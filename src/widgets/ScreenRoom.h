#pragma once

#include <QRect>

// Where a window asked for by a settings file may go: a file may ask for anything (a slip of
// the twips, a hand edit, 100000 x 100000), and a window larger than the screen costs memory
// and hides its own edges. Within the available area of the screen the corner is on.
namespace ScreenRoom {
QRect fit(QRect wanted);
} // namespace ScreenRoom
