#pragma once

class CliCommandLine;
class CliDataFolder;

// The commands that write or read files: each does what the program's command of the same
// name does, and fails with the program's texts.
int backupDatabase(CliDataFolder &folder, const CliCommandLine &line);
int restoreDatabase(CliDataFolder &folder, const CliCommandLine &line);
int importMemos(CliDataFolder &folder, const CliCommandLine &line);
int exportMemos(CliDataFolder &folder, const CliCommandLine &line);
int writeReport(CliDataFolder &folder, const CliCommandLine &line);
// The database's integrity, and every memo in the program's sight.
int checkDatabase(CliDataFolder &folder, const CliCommandLine &line);

// Usage checks of restore and report.
void checkReplaceAnswer(const CliCommandLine &line);
void checkReportName(const CliCommandLine &line);
