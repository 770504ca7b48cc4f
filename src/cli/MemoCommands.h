#pragma once

class CliCommandLine;
class CliDataFolder;

// The commands that list and change memos, each under the program's rules: texts stored as
// its editor stores them, two levels, the edit time of a changed text.
int addMemo(CliDataFolder &folder, const CliCommandLine &line);
int editMemo(CliDataFolder &folder, const CliCommandLine &line);
int deleteMemo(CliDataFolder &folder, const CliCommandLine &line);
int moveMemo(CliDataFolder &folder, const CliCommandLine &line);
int listMemos(CliDataFolder &folder, const CliCommandLine &line);

// move takes either --under or --top.
void checkMoveTarget(const CliCommandLine &line);
