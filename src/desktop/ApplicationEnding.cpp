// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/ApplicationEnding.h"

namespace {
bool gEnding = false;
}

bool applicationEnding()
{
    return gEnding;
}

void setApplicationEnding(bool ending)
{
    gEnding = ending;
}
