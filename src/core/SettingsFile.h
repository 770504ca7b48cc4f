// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Settings file access one key at a time, as the program needs it: every write goes to the
// disk at once, as a whole new file that replaces the old one only when all of it was written,
// and keeps every other line of the file byte for byte. A missing file or key reads as the
// default. A write that cannot be made raises "Unable to write to <path>" each time, unless a
// SettingsAction is open (see there).
class SettingsFile {
public:
    explicit SettingsFile(QString path) : m_path(std::move(path)) {}

    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // Truth values are whole numbers, 0 meaning false; anything else that is not a number
    // reads as the default.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    qint64 readInteger(const QString &section, const QString &key, qint64 defaultValue) const;

    // True when the value was stored. False only inside a SettingsAction, which then holds the
    // failure; outside one a failure raises.
    bool writeString(const QString &section, const QString &key, const QString &value) const;
    bool writeBool(const QString &section, const QString &key, bool value) const;
    bool writeInteger(const QString &section, const QString &key, qint64 value) const;

    QString path() const { return m_path; }

private:
    QString m_path;
};

// One user action that writes several settings together (Options > OK, a placement save, the
// start-up stamps). While it is open, a write that fails does not raise: the action goes on
// with the keys it can still store and reports the failure once, at its end, instead of once
// per key. Actions nest; a write belongs to the innermost one.
class SettingsAction {
public:
    SettingsAction();
    ~SettingsAction();
    SettingsAction(const SettingsAction &) = delete;
    SettingsAction &operator=(const SettingsAction &) = delete;

    bool failed() const { return !m_failure.isEmpty(); }
    // "Unable to write to <path>" for the first write that failed, or empty.
    QString failure() const { return m_failure; }
    // Raises the failure, if there was one, as a single write outside an action would have.
    void raiseFailure() const;

private:
    friend class SettingsFile;
    static bool record(const QString &failure);

    QString m_failure;
    SettingsAction *m_outer;
};
