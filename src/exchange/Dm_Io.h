#pragma once
#include "exchange/KvFileDialog.h"
#include <QObject>
#include <memory>

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

    KvFileDialog OpenDialog1;

private:
    bool OpenExchangeFile(Txmltry &xml, KvProgress &progress);

    TmainFm *FMainFm;
    std::unique_ptr<KvQuery> ADOQuery1;
};
