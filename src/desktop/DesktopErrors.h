// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <functional>

// The desktop components report their errors to the program, which shows them its own way
// (its message boxes, or a test's scripted answers). Without a handler they go to the log.
// An empty caption asks for the program's default error box.
using DesktopErrorHandler = std::function<void(const QString &caption, const QString &text)>;
void setDesktopErrorHandler(DesktopErrorHandler handler);
void reportDesktopError(const QString &caption, const QString &text);

