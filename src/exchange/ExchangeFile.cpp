#include "exchange/ExchangeFile.h"
#include "app/pU_Funcs.h"
#include "exchange/pU_XmlTry.h"
#include "store/KvQuery.h"
#include "store/SqlCatalogue.h"

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
    &Sql::SelectMemoById,
    &Sql::EmptyMemoForRestore,
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
    &Sql::SelectTaskById,
    &Sql::EmptyTaskForRestore,
};

QString XmlSafe(const QString &value)
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

void Add(pugi::xml_node element, const char *name, const QString &value)
{
    element.append_attribute(name).set_value(XmlSafe(value).toUtf8().constData());
}

} // namespace

void StartDocument(Txmltry &xml, const QString &appVersion, int biasMinutes)
{
    xml.LoadFromText(ExchangeTemplate);
    const QString root = QStringLiteral("korvel");
    xml.SetAttr(root, QStringLiteral("app"), AppName);
    xml.SetAttr(root, QStringLiteral("appversion"), appVersion);
    xml.SetAttr(root, QStringLiteral("time"), DateTimeToIso(DateTimeNow(), true, biasMinutes));
}

QString ContentToFile(const QString &content)
{
    if (!content.contains(QLatin1Char('\r')))
        return content;
    QString text = content;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString ContentFromFile(const QString &value)
{
    if (!value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')))
        return value;
    return ContentToFile(value).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void AppendMemo(pugi::xml_node memos, const TMemoInfo &memo, const QString &pid, int biasMinutes)
{
    pugi::xml_node element = memos.append_child("memo");
    Add(element, "mid", memo.mid);
    Add(element, "pid", pid);
    Add(element, "content", ContentToFile(memo.content));
    Add(element, "assign-time", DateTimeToIso(memo.assignTime, true, biasMinutes));
    Add(element, "create-time", DateTimeToIso(memo.createTime, true, biasMinutes));
    Add(element, "edit-time", DateTimeToIso(memo.editTime, true, biasMinutes));
}

void AppendTask(pugi::xml_node tasks, const KvQuery &row, int biasMinutes)
{
    pugi::xml_node element = tasks.append_child("task");
    Add(element, TaskKind.id.attribute, row.fieldAsString(TaskKind.id.column));
    Add(element, TaskKind.pid.attribute, row.fieldAsString(TaskKind.pid.column));
    for (const Field &field : TaskKind.values) {
        switch (field.kind) {
        case Field::Time:
            Add(element, field.attribute, DateTimeToIso(row.fieldAsDateTime(field.column), true, biasMinutes));
            break;
        case Field::Content:
            Add(element, field.attribute, ContentToFile(row.fieldAsString(field.column)));
            break;
        case Field::Text:
            Add(element, field.attribute, row.fieldAsString(field.column));
            break;
        }
    }
}

} // namespace Exchange
