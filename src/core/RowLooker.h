// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/RowLook.h"
#include <QObject>
#include <QThread>
#include <memory>

class RowLookerWorker;

// Takes looks (lookAtRows) on a thread of its own with its own read connection to the memo
// database, so that the pass over the whole table costs the interface nothing; one look at a
// time. The connection is opened at the first look and again after a failed one.
class RowLooker : public QObject {
    Q_OBJECT
public:
    explicit RowLooker(QObject *parent = nullptr);
    ~RowLooker() override; // waits for a look under way

    // Compares the table of the database at path with before; looked() or lookFailed() tells
    // the outcome. Ignored while a look is under way.
    void look(const QString &path, std::shared_ptr<const RowPrints> before);
    bool isLooking() const { return m_looking; }

signals:
    void looked(const std::shared_ptr<RowLook> &look);
    // The file could not be read (busy, gone for a moment).
    void lookFailed();

private:
    QThread m_thread;
    std::unique_ptr<RowLookerWorker> m_worker; // lives in m_thread
    bool m_looking = false;
};
