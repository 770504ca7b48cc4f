#pragma once
#include "core/Memo.h"
#include <QString>
#include <pugixml.hpp>
#include <vector>

class Query;
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
// A task element from the current row of a "select * from tasks" result.
void appendTask(pugi::xml_node tasks, const Query &row, int biasMinutes);

// memo text as written: every line break (CR LF, CR or LF) a single LF, which the library
// writes as a character reference and every parser gives back as one LF.
QString contentToFile(const QString &content);
// The value with every character that XML 1.0 forbids (control characters other than tab,
// LF and CR, lone surrogates, U+FFFE and U+FFFF) made U+FFFD: no conforming reader would
// take the file otherwise. The database keeps the character.
QString xmlSafe(const QString &value);
// memo text as stored: every line break of a parsed value (CR LF, CR or LF) becomes CR LF.
QString contentFromFile(const QString &value);

// One value of a record: its attribute in the file and its column in the table.
struct Field {
    const char *attribute;
    const char *column;
    enum Kind { Text, Content, Time } kind;
};

// What the readers need to know of memos and of tasks.
struct RecordKind {
    QString name;        // "memo" or "task", as the replace question says it
    QString listPath;    // "korvel,memos"
    QString itemPath;    // "korvel,memos,memo#", followed by the position
    Field id;            // mid or tid
    Field pid;
    std::vector<Field> values; // the rest, in the file's order
    QString (*selectById)(const QString &id);
    QString (*emptyForAppend)();
};
extern const RecordKind MemoKind;
extern const RecordKind TaskKind;

} // namespace Exchange
