// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCoreApplication>

// Installs the program's translation and Qt's own (standard buttons, the editor's context menu)
// for the user's language where one is installed; English needs none.
void installTranslations(QCoreApplication &application);
