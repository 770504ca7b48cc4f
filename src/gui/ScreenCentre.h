// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Places a dialog of fixed size in the middle of the screen its parent is on (the primary
// screen without a parent), rather than over the parent as dialogs go by default.
void centreOnScreen(QWidget &dialog);
