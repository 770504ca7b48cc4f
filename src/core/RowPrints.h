// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringView>
#include <QtGlobal>
#include <vector>

struct sqlite3;

// What a refresh remembers of a memos row between two looks: its place in the table, a
// print of its id (idPrint) and a print of its id, parent, expanded flag and edit time. Two
// looks that find the same print found the same row, unless its text changed without a new
// edit time. A pass over those columns costs the engine a fraction of one over every column.
struct RowPrint {
    qint64 rowid = 0;
    quint64 id = 0;
    quint64 print = 0;
};
using RowPrints = std::vector<RowPrint>; // in rowid order

quint64 idPrint(QStringView mid);

// Teaches a connection memo_print(mid, pid, expandFlag, editTime), one row's print, and
// memo_prints(list, rowid, mid, pid, expandFlag, editTime), which adds every row's
// rowid and print (no id) to the RowPrints bound as list (kRowPrintsType): the whole table in
// one pass of the engine, without handing each row over.
void addRowPrintFunctions(sqlite3 *db);
extern const char *const kRowPrintsType;
