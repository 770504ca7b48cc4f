// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/CommandErrors.h"
#include "gui/Application.h"
#include <exception>

void runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &error) {
        showDefaultErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        showDefaultErrorBox(QCoreApplication::translate("Application", "Unknown error"));
    }
}
