// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include <QString>
#include <tuple>
#include <vector>

// One change as an installation made it: the installation's id and its own running number.
struct SyncDot {
    QString origin;
    qint64 counter = 0;

    QString text() const { return origin + QLatin1Char(':') + QString::number(counter); }
    static SyncDot fromText(const QString &text);
    bool operator==(const SyncDot &other) const { return counter == other.counter && origin == other.origin; }
};

// What a change sets; a change may set several at once.
enum SyncField : quint8 {
    SyncContent = 1,  // content and editTime
    SyncParent = 2,   // pid
    SyncExpanded = 4, // expandFlag
    SyncTimes = 8,    // assignTime and createTime
};

// A change to one memo. The text it sets replaces the texts of the changes named in
// `replaces` (those its installation showed when the user changed the memo); a change that
// replaces texts and sets none is a delete. Every other field is the latest one set, by
// `clock`, a hybrid logical clock that is never behind anything its installation had seen.
struct SyncOp {
    SyncDot dot;
    qint64 clock = 0;
    quint8 fields = 0;
    Memo memo; // its mid, and the values of the fields it sets
    std::vector<SyncDot> replaces;

    bool sets(SyncField field) const { return (fields & field) != 0; }
    // The order that decides between concurrent changes, the same on every computer.
    auto orderKey() const { return std::tie(clock, dot.origin, dot.counter); }
    bool before(const SyncOp &other) const { return orderKey() < other.orderKey(); }
};
