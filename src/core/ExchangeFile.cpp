#include "core/ExchangeFile.h"
#include "core/IsoTime.h"
#include "core/XmlNavigator.h"
#include "core/Query.h"
#include "core/SqlCatalogue.h"

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
    {"mid", "mid", Field::Text},
    {"pid", "pid", Field::Text},
    {
        {"content", "content", Field::Content},
        {"assign-time", "assignTime", Field::Time},
        {"create-time", "createTime", Field::Time},
        {"edit-time", "editTime", Field::Time},
    },
    &Sql::selectMemoById,
    &Sql::emptyMemoForRestore,
};

const RecordKind TaskKind = {
    QStringLiteral("task"),
    QStringLiteral("korvel,tasks"),
    QStringLiteral("korvel,tasks,task#"),
    {"tid", "tid", Field::Text},
    {"pid", "pid", Field::Text},
    {
        {"content", "content", Field::Content},
        {"check-flag", "checkFlag", Field::Text},
        {"alarm-flag", "alarmFlag", Field::Text},
        {"due-flag", "dueFlag", Field::Text},
        {"text-color", "textColor", Field::Text},
        {"background-color", "backgroundColor", Field::Text},
        {"create-time", "createTime", Field::Time},
        {"edit-time", "editTime", Field::Time},
        {"check-time", "checkTime", Field::Time},
        {"alarm-time", "alarmTime", Field::Time},
        {"due-time", "dueTime", Field::Time},
    },
    &Sql::selectTaskById,
    &Sql::emptyTaskForRestore,
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

QString contentToFile(const QString &content)
{
    if (!content.contains(QLatin1Char('\r')))
        return content;
    QString text = content;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString contentFromFile(const QString &value)
{
    if (!value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')))
        return value;
    return contentToFile(value).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void appendMemo(pugi::xml_node memos, const Memo &memo, const QString &pid, int biasMinutes)
{
    pugi::xml_node element = memos.append_child("memo");
    add(element, "mid", memo.mid);
    add(element, "pid", pid);
    add(element, "content", contentToFile(memo.content));
    add(element, "assign-time", dateTimeToIso(memo.assignTime, true, biasMinutes));
    add(element, "create-time", dateTimeToIso(memo.createTime, true, biasMinutes));
    add(element, "edit-time", dateTimeToIso(memo.editTime, true, biasMinutes));
}

void appendTask(pugi::xml_node tasks, const Query &row, int biasMinutes)
{
    pugi::xml_node element = tasks.append_child("task");
    add(element, TaskKind.id.attribute, row.fieldAsString(TaskKind.id.column));
    add(element, TaskKind.pid.attribute, row.fieldAsString(TaskKind.pid.column));
    for (const Field &field : TaskKind.values) {
        switch (field.kind) {
        case Field::Time:
            add(element, field.attribute, dateTimeToIso(row.fieldAsDateTime(field.column), true, biasMinutes));
            break;
        case Field::Content:
            add(element, field.attribute, contentToFile(row.fieldAsString(field.column)));
            break;
        case Field::Text:
            add(element, field.attribute, row.fieldAsString(field.column));
            break;
        }
    }
}

} // namespace Exchange
