#include "exchange/ExchangeFile.h"
#include "app/pU_Funcs.h"
#include "exchange/pU_XmlTry.h"
#include "store/KvQuery.h"

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

const TaskField TaskFields[13] = {
    {"tid", "tid", false},
    {"pid", "pid", false},
    {"content", "content", false},
    {"check-flag", "checkFlag", false},
    {"alarm-flag", "alarmFlag", false},
    {"due-flag", "dueFlag", false},
    {"text-color", "textColor", false},
    {"background-color", "backgroundColor", false},
    {"create-time", "createTime", true},
    {"edit-time", "editTime", true},
    {"check-time", "checkTime", true},
    {"alarm-time", "alarmTime", true},
    {"due-time", "dueTime", true},
};

namespace {

void Add(pugi::xml_node element, const char *name, const QString &value)
{
    element.append_attribute(name).set_value(value.toUtf8().constData());
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
    for (const TaskField &field : TaskFields) {
        QString value;
        if (field.isTime)
            value = DateTimeToIso(row.fieldAsDateTime(field.column), true, biasMinutes);
        else if (qstrcmp(field.column, "content") == 0)
            value = ContentToFile(row.fieldAsString(field.column));
        else
            value = row.fieldAsString(field.column);
        Add(element, field.attribute, value);
    }
}

} // namespace Exchange
