#include "core/SqlCatalogue.h"

namespace Sql {

QString QuotedStr(const QString &value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString boolWord(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString selectMemosByPid(const QString &pid)
{
    return QStringLiteral("select * from memos where pid=") + QuotedStr(pid);
}

QString countMemos()
{
    return QStringLiteral("select count(*) as cnt from memos");
}

QString updateExpandFlag(bool expanded, const QString &mid)
{
    return QStringLiteral("update memos set expandFlag=") + boolWord(expanded) + QStringLiteral(" where mid=")
           + QuotedStr(mid);
}

QString emptyMemoForAppend()
{
    return QStringLiteral("select * from memos where 1=0");
}

QString selectMemoById(const QString &mid)
{
    return QStringLiteral("select * from memos where mid=") + QuotedStr(mid);
}

QString deleteMemo(const QString &mid)
{
    return QStringLiteral("delete from memos where mid=") + QuotedStr(mid);
}

QString deleteSubMemos(const QString &mid)
{
    return QStringLiteral("delete from memos where pid=") + QuotedStr(mid);
}

QString updateMemoParent(const QString &pid, const QString &mid)
{
    return QStringLiteral("update memos set pid=") + QuotedStr(pid) + QStringLiteral(" where mid=") + QuotedStr(mid);
}

QString selectAllMemos()
{
    return QStringLiteral("select * from memos");
}

QString selectAllTasks()
{
    return QStringLiteral("select * from tasks");
}

QString emptyMemoForRestore()
{
    return QStringLiteral("select * from memos where 0=1");
}

QString selectTaskById(const QString &tid)
{
    return QStringLiteral("select * from tasks where tid=") + QuotedStr(tid);
}

QString emptyTaskForRestore()
{
    return QStringLiteral("select * from tasks where 0=1");
}

QString liftOrphanMemos()
{
    return QStringLiteral("update memos set pid='root' where pid is null or (pid<>'root' and"
                          " (pid=mid or pid not in (select mid from memos)))");
}

QString liftMemosUnderSubMemos()
{
    return QStringLiteral("update memos set pid='root' where pid<>'root' and"
                          " pid not in (select mid from memos where pid='root')");
}

} // namespace Sql
