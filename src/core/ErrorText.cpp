// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ErrorText.h"

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}
