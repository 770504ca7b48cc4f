// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/DesktopErrors.h"
#include <QDebug>
#include <utility>

namespace {
DesktopErrorHandler gErrorHandler;
} // namespace

void setDesktopErrorHandler(DesktopErrorHandler handler)
{
    gErrorHandler = std::move(handler);
}

void reportDesktopError(const QString &caption, const QString &text)
{
    if (gErrorHandler)
        gErrorHandler(caption, text);
    else
        qWarning().noquote() << caption << text;
}

