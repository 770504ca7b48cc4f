#pragma once
#include "exchange/KvFileDialog.h"
#include <QObject>
#include <memory>

class KvQuery;
class TmainFm;

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
    TmainFm *FMainFm;
    std::unique_ptr<KvQuery> ADOQuery1;
};
