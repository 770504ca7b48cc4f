// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QHash>
#include <QString>
#include <optional>

// The version block a file carries: named values such as "\VarFileInfo\Translation" and
// "\StringFileInfo\040904E4\FileVersion". Names compare without regard to case and to a
// leading backslash.
class VersionBlock {
public:
    // The block found in the file, or nothing when the file has none or cannot be read.
    static std::optional<VersionBlock> readFromFile(const QString &path);
    // The block as it appears in a file, for files made to carry one (tests, tools).
    static QByteArray encode(const QList<std::pair<QString, QString>> &values);

    std::optional<QString> query(const QString &name) const;

private:
    static QString key(const QString &name);
    static std::optional<VersionBlock> parse(const char *data, qsizetype size);
    QHash<QString, QString> m_values;
};
