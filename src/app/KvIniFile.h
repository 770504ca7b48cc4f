#pragma once
#include <QString>

// Settings file access one key at a time, as the program needs it: every write goes to the
// disk at once and keeps the rest of the file as it was. A missing file or key reads as the
// default; a write that cannot be made raises "Unable to write to <path>", once for each
// file until a write to it succeeds again.
class KvIniFile {
public:
    explicit KvIniFile(QString path) : FPath(std::move(path)) {}

    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // Truth values are whole numbers, 0 meaning false; anything else that is not a number
    // reads as the default.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    qint64 readInteger(const QString &section, const QString &key, qint64 defaultValue) const;

    void writeString(const QString &section, const QString &key, const QString &value) const;
    void writeBool(const QString &section, const QString &key, bool value) const;
    void writeInteger(const QString &section, const QString &key, qint64 value) const;

    QString path() const { return FPath; }

private:
    QString FPath;
};
