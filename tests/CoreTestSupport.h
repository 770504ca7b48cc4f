// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QTemporaryDir>

class Database;

// A data folder of its own for one test, removed afterwards.
class TestFolder {
public:
    TestFolder();
    QString path() const; // with a trailing separator
    QString file(const QString &name) const { return path() + name; }

private:
    QTemporaryDir m_dir;
};

// Puts a memo row straight into the database, bypassing the program.
void insertMemoRow(Database &connection, const QString &mid, const QString &pid, const QString &content,
                   bool expandFlag = false, double createTime = 45000.5);
