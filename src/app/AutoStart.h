#pragma once
#include <QString>

// The entry that starts the program with the user's desktop session: an XDG autostart file
// whose Exec is the full path of the running program.
QString AutoStartFile();
bool IsAutoStart();
// Writes the entry when there is none (an entry naming another path is left alone), or
// removes it.
void SetAutoStart(bool enable);
