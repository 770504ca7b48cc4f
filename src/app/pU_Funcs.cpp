#include "app/pU_Funcs.h"
#include "app/Prompts.h"
#include "store/KvQuery.h"

void OpenSql(KvQuery &query, const QString &statement)
{
    query.close();
    query.clearSql();
    query.addSql(statement);
    query.open();
}

void ExecSql(KvQuery &query, const QString &statement)
{
    query.close();
    query.clearSql();
    query.addSql(statement);
    query.execSql();
}

QString FlattenLineBreaks(const QString &text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return flat;
}

QString TrimRightControls(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() < 33)
        --end;
    return text.left(end);
}

int ShowBox(const QString &caption, const QString &text, int flags)
{
    return Prompts().messageBox(caption, text, flags, KvBoxIcon::None);
}

int AskBox(const QString &text)
{
    return ShowBox(QStringLiteral("Ask"), text, MB_OKCANCEL);
}

int ErrorBox(const QString &text)
{
    return ShowBox(QStringLiteral("Error"), text, MB_OK);
}

int WarningBox(const QString &text)
{
    return ShowBox(QStringLiteral("Warning"), text, MB_OK);
}

int TipBox(const QString &text)
{
    return ShowBox(QStringLiteral("Tip"), text, MB_OK);
}
