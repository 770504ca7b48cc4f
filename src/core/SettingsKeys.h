// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/SettingsFile.h"
#include <QString>
#include <type_traits>

// One value of the settings file: where it is kept, and what it reads as while it is missing
// or unreadable. T is bool, qint64 or QString.
template <typename T>
struct SettingKey {
    QString section;
    QString key;
    T defaultValue;

    T read(const SettingsFile &file) const
    {
        if constexpr (std::is_same_v<T, bool>)
            return file.readBool(section, key, defaultValue);
        else if constexpr (std::is_same_v<T, qint64>)
            return file.readInteger(section, key, defaultValue);
        else
            return file.readString(section, key, defaultValue);
    }

    // As SettingsFile's writes: true when stored.
    bool write(const SettingsFile &file, const T &value) const
    {
        if constexpr (std::is_same_v<T, bool>)
            return file.writeBool(section, key, value);
        else if constexpr (std::is_same_v<T, qint64>)
            return file.writeInteger(section, key, value);
        else
            return file.writeString(section, key, value);
    }
};

// Every setting the program keeps, with its default.
// The application shell's choices and start-up stamps (ISO date-times).
inline const SettingKey<bool> kRunMinimizedEn{QStringLiteral("option"), QStringLiteral("runMinimizedEn"), false};
inline const SettingKey<bool> kAddOpenEn{QStringLiteral("option"), QStringLiteral("addOpenEn"), false};
inline const SettingKey<bool> kVisitWebEn{QStringLiteral("option"), QStringLiteral("visitWebEn"), true};
inline const SettingKey<QString> kFirst{QStringLiteral("option"), QStringLiteral("first"), QString()};
// The folder that sync shares with the user's other computers; empty or missing, sync is off.
inline const SettingKey<QString> kSyncFolder{QStringLiteral("option"), QStringLiteral("syncFolder"), QString()};
inline const SettingKey<QString> kVisitWeb{QStringLiteral("option"), QStringLiteral("visitWeb"), QString()};
// Usage figures.
inline const SettingKey<qint64> kRunDays{QStringLiteral("log"), QStringLiteral("runDays"), 0};
inline const SettingKey<qint64> kPrivateMemos{QStringLiteral("log"), QStringLiteral("privateMemos"), 0};
inline const SettingKey<qint64> kPublicMemos{QStringLiteral("log"), QStringLiteral("publicMemos"), 0};
// The memo list's view.
inline const SettingKey<bool> kViewAscEn{QStringLiteral("memo"), QStringLiteral("viewAscEn"), true};
inline const SettingKey<bool> kViewListEn{QStringLiteral("memo"), QStringLiteral("viewListEn"), false};
inline const SettingKey<bool> kSearchWideEn{QStringLiteral("memo"), QStringLiteral("searchWideEn"), false};
