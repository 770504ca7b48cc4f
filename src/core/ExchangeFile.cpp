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

QString contentFromFile(const QString &value)
{
    const qsizetype breaks = value.count(QLatin1Char('\n')) + value.count(QLatin1Char('\r'));
    if (breaks == 0)
        return value;
    // One pass: every memo of a file with several lines comes through here.
    QString result(value.size() + breaks, Qt::Uninitialized);
    QChar *out = result.data();
    const QChar *const end = value.constEnd();
    for (const QChar *c = value.constBegin(); c != end; ++c) {
        if (*c != QLatin1Char('\r') && *c != QLatin1Char('\n')) {
            *out++ = *c;
            continue;
        }
        if (*c == QLatin1Char('\r') && c + 1 != end && c[1] == QLatin1Char('\n'))
            ++c;
        *out++ = QLatin1Char('\r');
        *out++ = QLatin1Char('\n');
    }
    result.truncate(out - result.constData());
    return result;
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

Memo memoFromFile(XmlNavigator &xml, const QString &path, const QString &mid, const QString &pid, int biasMinutes)
{
    const pugi::xml_node record = xml.findNode(path);
    const auto time = [&](const char *name) { return isoToDateTime(xml.getAttr(record, path, name), biasMinutes); };
    Memo memo;
    memo.mid = mid;
    memo.pid = pid;
    memo.content = contentFromFile(xml.getAttr(record, path, "content"));
    memo.assignTime = time("assign-time");
    memo.createTime = time("create-time");
    memo.editTime = time("edit-time");
    return memo;
}

Task taskFromFile(XmlNavigator &xml, const QString &path, const QString &tid, const QString &pid, int biasMinutes)
{
    const pugi::xml_node record = xml.findNode(path);
    const auto text = [&](const char *name) { return xml.getAttr(record, path, name); };
    const auto time = [&](const char *name) { return isoToDateTime(text(name), biasMinutes); };
    Task task;
    task.tid = tid;
    task.pid = pid;
    task.content = contentFromFile(text("content"));
    task.checkFlag = text("check-flag");
    task.alarmFlag = text("alarm-flag");
    task.dueFlag = text("due-flag");
    task.textColor = text("text-color");
    task.backgroundColor = text("background-color");
    task.createTime = time("create-time");
    task.editTime = time("edit-time");
    task.checkTime = time("check-time");
    task.alarmTime = time("alarm-time");
    task.dueTime = time("due-time");
    return task;
}

} // namespace Exchange
