// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>

// The pictures the memo pane draws its bars and rows over.
struct PaneBackgrounds {
    QImage toolbar, searchbar, group, item0, item1;
};
