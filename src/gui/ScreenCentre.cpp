// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ScreenCentre.h"
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget &dialog)
{
    const QWidget *parent = dialog.parentWidget();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect placed(QPoint(), dialog.size());
    placed.moveCenter(screen->availableGeometry().center());
    // Moved explicitly, the dialog is not put over its parent when shown.
    dialog.move(placed.topLeft());
}
