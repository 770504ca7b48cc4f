#pragma once
#include <QByteArray>
#include <QString>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The one connection to the memo database. Opening creates the file and its tables when
// they are missing; it never changes anything already stored.
class KvConnection {
public:
    KvConnection() = default;
    ~KvConnection();
    KvConnection(const KvConnection &) = delete;
    KvConnection &operator=(const KvConnection &) = delete;

    void open(const QString &path); // throws KvDbError
    void close();
    bool isOpen() const { return FDb != nullptr; }
    bool isReadOnly() const;
    QString path() const { return FPath; }
    sqlite3 *handle() const; // throws KvDbError when not open

    // Runs statements that return no rows (schema, pragmas, transaction control).
    void execute(const QString &sql);

    // Prepared statements are kept for reuse: statement text differs only in its quoted
    // values, which the query layer binds, so the load's thousands of sub-memo queries
    // compile once. A statement is handed to one user at a time.
    sqlite3_stmt *acquireStatement(const QByteArray &sql); // throws KvDbError
    void releaseStatement(sqlite3_stmt *statement);

private:
    void createMissingTables();
    void finalizeIdleStatements();
    sqlite3 *FDb = nullptr;
    std::unordered_map<std::string, std::vector<sqlite3_stmt *>> FIdleStatements;
    size_t FIdleCount = 0;
    QString FPath;
};
