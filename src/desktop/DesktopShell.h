// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QUrl>

// The one seam through which the program hands addresses (web pages, mail links, files) to
// the desktop. Tests install a handler that only records them.
class ShellHandler {
public:
    virtual ~ShellHandler() = default;
    virtual bool openUrl(const QUrl &url) = 0;
};

ShellHandler &shell();
// Installs handler (not owned); nullptr restores the desktop's handler.
void setShellHandler(ShellHandler *handler);
