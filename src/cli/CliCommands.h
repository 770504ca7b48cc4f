#pragma once

struct CliOptions;

// Opens the data folder as the program does (creating it and the database on a first run,
// nothing else) and runs the command. Throws CliFailure, UsageError or the core's errors;
// returns the exit status otherwise.
int runCliCommand(const CliOptions &options);
