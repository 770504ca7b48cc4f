#pragma once
#include "core/Database.h"
#include <utility>

// Statements issued while a batch is open reach the disk together, at commit(), instead of
// one synchronous write each. Whatever ran before a failure is still stored: a batch left
// by an error commits what it holds. Batches nest; only the outermost one commits.
class Transaction {
public:
    // An immediate batch takes the write lock at once, waiting for it as long as the
    // connection's busy timeout allows, and throws DatabaseError when it stays taken. A
    // deferred one takes it at its first write, and a batch that read first is then refused
    // at once while another connection writes.
    enum class Lock { Deferred, Immediate };
    explicit Transaction(Database &connection, Lock lock = Lock::Deferred);
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
};
