// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Database.h"
#include "core/MemoStore.h"
#include "core/SettingsFile.h"
#include <QByteArray>
#include <QString>

// The folder, its settings and its database, opened as the program opens them.
class CliDataFolder {
public:
    explicit CliDataFolder(const QString &dataDir);
    Database &database() { return m_database; }
    MemoStore &store() { return m_store; }
    SettingsFile settings() const;
    // The sort direction the user chose in the program.
    bool ascending() const;

private:
    QString m_folder;
    Database m_database;
    MemoStore m_store{m_database};
};

// Writes to standard output; throws CliFailure when it cannot.
void writeOut(const QByteArray &bytes);
// The version text the program writes into its files.
QString programVersion();
