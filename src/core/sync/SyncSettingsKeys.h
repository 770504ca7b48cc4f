#pragma once
#include <QString>

// The sync folder in the settings file: [option] syncFolder=DIR; empty or missing, sync is off.
inline const QString kSyncSection = QStringLiteral("option");
inline const QString kSyncFolder = QStringLiteral("syncFolder");
