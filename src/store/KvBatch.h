#pragma once
#include "store/KvConnection.h"

// Statements issued while a batch is open reach the disk together, at commit(), instead of
// one synchronous write each. Whatever ran before a failure is still stored: a batch left
// by an error commits what it holds. Batches nest; only the outermost one commits.
class KvBatch {
public:
    explicit KvBatch(KvConnection &connection);
    ~KvBatch();
    void commit(); // throws KvDbError when the statements could not be stored
    KvBatch(const KvBatch &) = delete;
    KvBatch &operator=(const KvBatch &) = delete;

private:
    KvConnection &FConnection;
    bool FOwns = false;
};
