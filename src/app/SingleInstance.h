#pragma once
#include <QObject>
#include <QString>

class QLocalServer;

// One running instance per user and data folder, through a local socket. A later start
// hands over to the running one, which comes forward, and then ends.
class KvSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit KvSingleInstance(const QString &programFolder, QObject *parent = nullptr);
    ~KvSingleInstance() override;

    // Asks a running instance to come forward; true when one answered.
    bool ActivatePreviousInstance();
    // Makes this the running instance; false when another one took the place first.
    bool listen();
    QString serverName() const { return FServerName; }

signals:
    void activationRequested();

private:
    QString FServerName;
    QLocalServer *FServer = nullptr;
};
