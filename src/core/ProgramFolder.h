#pragma once
#include <QString>
#include <QStringList>

// The folder that holds the database, the settings and the user's pictures, with a trailing
// separator. In this order: --data-dir DIR (or --data-dir=DIR); JOTWELL_DATA_DIR; the
// executable's own folder when it already holds kvData.kvb (portable use); the user's XDG
// data folder for the program.
QString resolveProgramFolder(const QStringList &arguments);
// The folder a start without --data-dir and JOTWELL_DATA_DIR takes.
QString defaultProgramFolder();
// Makes the folder, as a first start does; throws std::runtime_error when it cannot be made.
void createProgramFolder(const QString &folder);
