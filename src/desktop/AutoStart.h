// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The entry that starts the program with the user's desktop session: an XDG autostart file
// whose Exec is the full path of the running program, followed by --data-dir and the data
// folder when that is not the one a plain start takes. It is named after the desktop file id.
QString autoStartFile();
// Renames an entry that an older version wrote under its old name (korvel-jotwell.desktop) to
// the new name, or removes it where the new one is there, when it starts this program; an
// entry of another program or install is left alone.
void adoptOldAutoStartEntry();
// True when the entry is there and the desktop has not switched it off (Hidden=true,
// X-GNOME-Autostart-enabled=false).
bool isAutoStart();
// Writes the entry when there is none or the desktop switched it off (an entry naming another
// path is left alone), or removes it. A failed write raises "Unable to write to <file>".
void setAutoStart(bool enable, const QString &programFolder);
