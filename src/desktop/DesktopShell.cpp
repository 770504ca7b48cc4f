// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/DesktopShell.h"
#include <QDesktopServices>

namespace {

class DesktopShell final : public ShellHandler {
public:
    bool openUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }
};

DesktopShell gDesktop;
ShellHandler *gHandler = &gDesktop;

} // namespace

ShellHandler &shell()
{
    return *gHandler;
}

void setShellHandler(ShellHandler *handler)
{
    gHandler = handler ? handler : &gDesktop;
}
