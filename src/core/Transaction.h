// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Database.h"
#include <utility>

// Statements issued while a batch is open reach the disk together, at commit(), instead of
// one synchronous write each. By default whatever ran before a failure is still stored: a
// batch left by an error commits what it holds. An all-or-nothing batch left by an error
// (or whose commit fails) takes everything back instead. Batches nest; only the outermost
// one commits or takes back.
class Transaction {
public:
    // An immediate batch takes the write lock at once, waiting for it as long as the
    // connection's busy timeout allows, and throws DatabaseError when it stays taken. A
    // deferred one takes it at its first write, and a batch that read first is then refused
    // at once while another connection writes.
    enum class Lock { Deferred, Immediate };
    enum class OnFailure { KeepDone, TakeBack };
    explicit Transaction(Database &connection, Lock lock = Lock::Deferred, OnFailure onFailure = OnFailure::KeepDone);
    ~Transaction();
    void commit(); // throws DatabaseError when the statements could not be stored
    // Handing a batch on leaves the one handed from with nothing to commit.
    Transaction(Transaction &&other) noexcept;
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    Transaction &operator=(Transaction &&) = delete;

private:
    Database &m_connection;
    bool m_owns = false;
    OnFailure m_onFailure;
};
