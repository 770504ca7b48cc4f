// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include "core/MemoStore.h"
#include "core/Task.h"
#include <QString>
#include <pugixml.hpp>
#include <vector>

class XmlNavigator;

// The exchange document shared with the sibling application: root attributes, memo and task
// elements, and how their values are written and read back.
namespace Exchange {

// Ten lines joined by a lone CR, no declaration: 149 characters.
extern const QString ExchangeTemplate;
extern const QString AppName; // "Dayloom"

// The template with the root's app, appversion and time set. biasMinutes is the offset that
// every stamp of the file carries.
void startDocument(XmlNavigator &xml, const QString &appVersion, int biasMinutes);

// A memo element appended to memos, attributes in the file's order.
void appendMemo(pugi::xml_node memos, const Memo &memo, const QString &pid, int biasMinutes);
// A task element appended to tasks, attributes in the file's order.
void appendTask(pugi::xml_node tasks, const Task &task, int biasMinutes);

struct RecordKind;

// One record of an opened file, read value by value as UTF-8; a missing value is reported and
// reads as empty. A value is the parsed document's own text unless it had to change (invalid
// UTF-8, a leading byte order mark, line breaks), then the record's copy: it lives as long as
// both.
class FileRecord {
public:
    FileRecord(XmlNavigator &xml, const RecordKind &kind, pugi::xml_node node, int position);
    QByteArrayView text(const char *name);
    // memo text as stored (see contentFromFile).
    QByteArrayView content();
    TimeStamp time(const char *name, int biasMinutes);
    // A text that lives as long as the record.
    QByteArrayView keep(QByteArray bytes);

private:
    XmlNavigator &m_xml;
    const RecordKind &m_kind;
    pugi::xml_node m_node;
    int m_position;
    std::vector<QByteArray> m_copies;
};

// The record as the table takes it, with the id and parent id it is to be stored under. Its
// values are read in the file's order, so a missing one is reported in that order.
MemoBytes memoFromFile(FileRecord &record, QByteArrayView mid, QByteArrayView pid, int biasMinutes);
TaskBytes taskFromFile(FileRecord &record, QByteArrayView tid, QByteArrayView pid, int biasMinutes);

// The value with every character that XML 1.0 forbids (control characters other than tab,
// LF and CR, lone surrogates, U+FFFE and U+FFFF) made U+FFFD: no conforming reader would
// take the file otherwise. The database keeps the character.
QString xmlSafe(const QString &value);
// memo text as stored: every line break of a parsed value (CR LF, CR or LF) becomes CR LF.
QString contentFromFile(const QString &value);

// What the readers need to know of memos and of tasks.
struct RecordKind {
    QString name;           // "memo" or "task", as the replace question says it
    QString listPath;       // "korvel,memos"
    QString itemPath;       // "korvel,memos,memo#", followed by the position
    const char *idAttribute; // mid or tid
};
extern const RecordKind MemoKind;
extern const RecordKind TaskKind;

} // namespace Exchange
