#pragma once
#include <QString>

struct sqlite3;

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

private:
    void createMissingTables();
    sqlite3 *FDb = nullptr;
    QString FPath;
};
