// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <functional>

class QWidget;

// Runs a change of a top-level window's size or place now, or, while the window is minimised
// (also hidden in the notification area with that state), once it is back: on X11 giving a
// minimised window a size or a place brings it back on the screen. The change is dropped
// when window or context goes first.
void whenNotMinimized(QWidget &window, QObject *context, std::function<void()> change);
