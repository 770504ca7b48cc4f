// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ExchangeFile.h"
#include "core/MemoText.h"
#include "core/IsoTime.h"
#include "core/XmlNavigator.h"

namespace Exchange {

const QString ExchangeTemplate = QStringLiteral("<korvel app=\"\" appversion=\"\" dataversion=\"1.1\" time=\"\">\r"
                                                "  <tasks>\r"
                                                "  </tasks>\r"
                                                "  <memos>\r"
                                                "  </memos>\r"
                                                "  <notes>\r"
                                                "  </notes>\r"
                                                "  <peers>\r"
                                                "  </peers>\r"
                                                "</korvel>");
const QString AppName = QStringLiteral("Dayloom");

const RecordKind MemoKind = {
    QStringLiteral("memo"),
    QStringLiteral("korvel,memos"),
    QStringLiteral("korvel,memos,memo#"),
    "mid",
};

const RecordKind TaskKind = {
    QStringLiteral("task"),
    QStringLiteral("korvel,tasks"),
    QStringLiteral("korvel,tasks,task#"),
    "tid",
};

QString xmlSafe(const QString &value)
{
    const auto allowed = [](char16_t c) {
        return c >= 0x20 ? c < 0xFFFE : c == u'\t' || c == u'\n' || c == u'\r';
    };
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() && QChar::isLowSurrogate(value[i + 1].unicode())) {
            ++i; // a pair stands for a character beyond the first plane, which XML allows
            continue;
        }
        if (allowed(c) && !QChar::isSurrogate(c))
            continue;
        if (text.isNull())
            text = value;
        text[i] = QChar::ReplacementCharacter;
    }
    return text.isNull() ? value : text;
}

namespace {

void add(pugi::xml_node element, const char *name, const QString &value)
{
    element.append_attribute(name).set_value(xmlSafe(value).toUtf8().constData());
}

} // namespace

void startDocument(XmlNavigator &xml, const QString &appVersion, int biasMinutes)
{
    xml.loadFromText(ExchangeTemplate);
    const QString root = QStringLiteral("korvel");
    xml.setAttr(root, QStringLiteral("app"), AppName);
    xml.setAttr(root, QStringLiteral("appversion"), appVersion);
    xml.setAttr(root, QStringLiteral("time"), dateTimeToIso(dateTimeNow(), true, biasMinutes));
}

namespace {

// Every line break (CR LF, CR or LF) made CR LF, in one pass: every memo of a file with
// several lines comes through here.
template <typename Text>
Text withCrLfBreaks(const Text &value)
{
    using Unit = typename Text::value_type;
    const Unit cr = Unit(u'\r');
    const Unit lf = Unit(u'\n');
    const qsizetype breaks = value.count(cr) + value.count(lf);
    if (breaks == 0)
        return value;
    Text result(value.size() + breaks, Qt::Uninitialized);
    Unit *out = result.data();
    const Unit *const end = value.constEnd();
    for (const Unit *c = value.constBegin(); c != end; ++c) {
        if (*c != cr && *c != lf) {
            *out++ = *c;
            continue;
        }
        if (*c == cr && c + 1 != end && c[1] == lf)
            ++c;
        *out++ = cr;
        *out++ = lf;
    }
    result.truncate(out - result.constData());
    return result;
}

} // namespace

QString contentFromFile(const QString &value)
{
    return withCrLfBreaks(value);
}

void appendMemo(pugi::xml_node memos, const Memo &memo, const QString &pid, int biasMinutes)
{
    pugi::xml_node element = memos.append_child("memo");
    add(element, "mid", memo.mid);
    add(element, "pid", pid);
    add(element, "content", toLfLineBreaks(memo.content));
    add(element, "assign-time", dateTimeToIso(memo.assignTime, true, biasMinutes));
    add(element, "create-time", dateTimeToIso(memo.createTime, true, biasMinutes));
    add(element, "edit-time", dateTimeToIso(memo.editTime, true, biasMinutes));
}

void appendTask(pugi::xml_node tasks, const Task &task, int biasMinutes)
{
    pugi::xml_node element = tasks.append_child("task");
    add(element, "tid", task.tid);
    add(element, "pid", task.pid);
    add(element, "content", toLfLineBreaks(task.content));
    add(element, "check-flag", task.checkFlag);
    add(element, "alarm-flag", task.alarmFlag);
    add(element, "due-flag", task.dueFlag);
    add(element, "text-color", task.textColor);
    add(element, "background-color", task.backgroundColor);
    add(element, "create-time", dateTimeToIso(task.createTime, true, biasMinutes));
    add(element, "edit-time", dateTimeToIso(task.editTime, true, biasMinutes));
    add(element, "check-time", dateTimeToIso(task.checkTime, true, biasMinutes));
    add(element, "alarm-time", dateTimeToIso(task.alarmTime, true, biasMinutes));
    add(element, "due-time", dateTimeToIso(task.dueTime, true, biasMinutes));
}

FileRecord::FileRecord(XmlNavigator &xml, const RecordKind &kind, pugi::xml_node node, int position)
    : m_xml(xml), m_kind(kind), m_node(node), m_position(position)
{
}

QByteArrayView FileRecord::text(const char *name)
{
    const QByteArrayView value(m_xml.recordAttribute(m_node, m_kind.itemPath, m_position, name).value());
    // Stored as the text would be after a round through QString, which makes invalid
    // sequences U+FFFD and drops a leading byte order mark.
    if (value.isValidUtf8() && !value.startsWith("\xEF\xBB\xBF"))
        return value;
    return keep(QString::fromUtf8(value).toUtf8());
}

QByteArrayView FileRecord::content()
{
    const QByteArrayView value = text("content");
    if (!value.contains('\r') && !value.contains('\n'))
        return value;
    return keep(withCrLfBreaks(value.toByteArray()));
}

TimeStamp FileRecord::time(const char *name, int biasMinutes)
{
    return isoToDateTime(text(name), biasMinutes);
}

QByteArrayView FileRecord::keep(QByteArray bytes)
{
    // The vector may move its arrays, never their data.
    m_copies.push_back(std::move(bytes));
    return m_copies.back();
}

MemoBytes memoFromFile(FileRecord &record, QByteArrayView mid, QByteArrayView pid, int biasMinutes)
{
    MemoBytes memo;
    memo.mid = mid;
    memo.pid = pid;
    memo.content = record.content();
    memo.assignTime = record.time("assign-time", biasMinutes);
    memo.createTime = record.time("create-time", biasMinutes);
    memo.editTime = record.time("edit-time", biasMinutes);
    return memo;
}

TaskBytes taskFromFile(FileRecord &record, QByteArrayView tid, QByteArrayView pid, int biasMinutes)
{
    TaskBytes task;
    task.tid = tid;
    task.pid = pid;
    task.content = record.content();
    task.checkFlag = record.text("check-flag");
    task.alarmFlag = record.text("alarm-flag");
    task.dueFlag = record.text("due-flag");
    task.textColor = record.text("text-color");
    task.backgroundColor = record.text("background-color");
    task.createTime = record.time("create-time", biasMinutes);
    task.editTime = record.time("edit-time", biasMinutes);
    task.checkTime = record.time("check-time", biasMinutes);
    task.alarmTime = record.time("alarm-time", biasMinutes);
    task.dueTime = record.time("due-time", biasMinutes);
    return task;
}

} // namespace Exchange
