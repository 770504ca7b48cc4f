// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCommandLineOption>
#include <QString>

// The folder that holds the database, the settings and the user's pictures, with a trailing
// separator. In this order: the --data-dir option's folder; JOTWELL_DATA_DIR; the
// executable's own folder when it already holds the database (portable use); the user's XDG
// data folder for the program.
QString resolveProgramFolder(const QString &dataDirOption);
// The folder a start without --data-dir and JOTWELL_DATA_DIR takes.
QString defaultProgramFolder();
// Makes the folder, as a first start does; throws std::runtime_error when it cannot be made.
void createProgramFolder(const QString &folder);

// The files in the folder.
QString databasePath(const QString &programFolder);
QString settingsPath(const QString &programFolder);

// --data-dir DIR (or --data-dir=DIR), the same for the program and jotwell-cli.
QCommandLineOption dataDirOption();
