// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>

class QLocalServer;

// One running instance per user and data folder, through a local socket. A later start
// hands over to the running one, which comes forward, and then ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &programFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Asks a running instance to come forward; true when one answered.
    bool activatePreviousInstance();
    // Makes this the running instance; false when another one took the place first. A place
    // that cannot be taken for another reason is told on standard error, and counts as taken.
    bool listen();
    QString serverName() const { return m_serverName; }

signals:
    void activationRequested();

private:
    QString m_serverName;
    QLocalServer *m_server = nullptr;
};
