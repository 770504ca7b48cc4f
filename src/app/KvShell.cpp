#include "app/KvShell.h"
#include <QDesktopServices>

namespace {

class DesktopShell final : public KvShellHandler {
public:
    bool openUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }
};

DesktopShell gDesktop;
KvShellHandler *gHandler = &gDesktop;

} // namespace

KvShellHandler &Shell()
{
    return *gHandler;
}

void SetShellHandler(KvShellHandler *handler)
{
    gHandler = handler ? handler : &gDesktop;
}
