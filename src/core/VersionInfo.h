// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

// The ten standard values of a version block, in the block's order.
enum class VersionField {
    CompanyName,
    FileDescription,
    FileVersion,
    InternalName,
    LegalCopyright,
    LegalTrademarks,
    OriginalFilename,
    ProductName,
    ProductVersion,
    Comments,
};

// Reads the ten standard values of a file's version block; by default the program's own.
class VersionInfo : public QObject {
    Q_OBJECT
public:
    explicit VersionInfo(QObject *owner = nullptr);

    // empty means the program's own file, by its full path.
    QString filePath() const { return m_filePath; }
    void setFilePath(const QString &path);

    void readInfo(); // at once; otherwise the first value asked for reads the file
    QString value(VersionField field) const;
    QString fileVersion() const { return value(VersionField::FileVersion); }

    static constexpr int kFieldCount = 10;
    static inline const QString kNotAvailable = QStringLiteral("Value Not Available");

private:
    QStringList readValues() const;

    QString m_filePath;
    mutable QStringList Values; // empty until read
};
