// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// True once the application has been asked to quit (the desktop session ended, or the
// program's own Exit): windows closed from then on are not hidden away.
bool applicationEnding();
// Set by the application object as a quit starts, and cleared when the quit is refused.
void setApplicationEnding(bool ending);
