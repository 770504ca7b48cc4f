// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Icon-only tool buttons have no text for a screen reader to say. Names each tool button
// under container after its action's hint (or its text when there is no hint) and keeps the
// name in step when the action changes, as the sort button's hint does.
void nameIconButtons(QWidget *container);
