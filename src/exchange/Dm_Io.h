#pragma once
#include "exchange/KvFileDialog.h"
#include <QObject>
#include <functional>
#include <memory>

class ExchangeReader;
class KvProgress;
class KvQuery;
class TmainFm;
class Txmltry;

// The exchange commands on the whole database: backup to an exchange file, restore from one
// (asking before replacing) and import (as new records). Each returns true when it ran to
// its end and reports its own failures.
class TIoDm : public QObject {
    Q_OBJECT
public:
    explicit TIoDm(TmainFm *mainFm);
    ~TIoDm() override;

    bool BackupDatabase();
    bool RestoreDatabase();
    bool ImportFile();
    // Whether the last restore or import got as far as storing records, also when it then
    // failed: the tree must be reloaded to show them.
    bool DatabaseChanged() const { return FDatabaseChanged; }

    KvFileDialog OpenDialog1;

private:
    // The chosen file loaded, and the run's progress; nullptr when cancelled or unreadable.
    std::unique_ptr<KvProgress> OpenExchangeFile(Txmltry &xml);
    bool ReadRecords(Txmltry &xml, KvProgress &progress, const QString &label,
                     const std::function<void(ExchangeReader &)> &run);

    TmainFm *FMainFm;
    std::unique_ptr<KvQuery> ADOQuery1;
    bool FDatabaseChanged = false;
};
