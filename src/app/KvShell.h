#pragma once
#include <QUrl>

// The one seam through which the program hands addresses (web pages, mail links, files) to
// the desktop. Tests install a handler that only records them.
class KvShellHandler {
public:
    virtual ~KvShellHandler() = default;
    virtual bool openUrl(const QUrl &url) = 0;
};

KvShellHandler &Shell();
// Installs handler (not owned); nullptr restores the desktop's handler.
void SetShellHandler(KvShellHandler *handler);
