#include "store/SqlCatalogue.h"

namespace Sql {

QString QuotedStr(const QString &value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString BoolWord(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString SelectMemosByPid(const QString &pid)
{
    return QStringLiteral("select * from memos where pid=") + QuotedStr(pid);
}

QString CountMemos()
{
    return QStringLiteral("select count(*) as cnt from memos");
}

QString UpdateExpandFlag(bool expanded, const QString &mid)
{
    return QStringLiteral("update memos set expandFlag=") + BoolWord(expanded) + QStringLiteral(" where mid=")
           + QuotedStr(mid);
}

QString EmptyMemoForAppend()
{
    return QStringLiteral("select * from memos where 1=0");
}

QString SelectMemoById(const QString &mid)
{
    return QStringLiteral("select * from memos where mid=") + QuotedStr(mid);
}

QString DeleteMemo(const QString &mid)
{
    return QStringLiteral("delete from memos where mid=") + QuotedStr(mid);
}

QString DeleteSubMemos(const QString &mid)
{
    return QStringLiteral("delete from memos where pid=") + QuotedStr(mid);
}

QString UpdateMemoParent(const QString &pid, const QString &mid)
{
    return QStringLiteral("update memos set pid=") + QuotedStr(pid) + QStringLiteral(" where mid=") + QuotedStr(mid);
}

QString SelectAllMemos()
{
    return QStringLiteral("select * from memos");
}

QString SelectAllTasks()
{
    return QStringLiteral("select * from tasks");
}

QString EmptyMemoForRestore()
{
    return QStringLiteral("select * from memos where 0=1");
}

QString SelectTaskById(const QString &tid)
{
    return QStringLiteral("select * from tasks where tid=") + QuotedStr(tid);
}

QString EmptyTaskForRestore()
{
    return QStringLiteral("select * from tasks where 0=1");
}

QString LiftOrphanMemos()
{
    return QStringLiteral("update memos set pid='root' where pid is null or (pid<>'root' and"
                          " (pid=mid or pid not in (select mid from memos)))");
}

QString LiftMemosUnderSubMemos()
{
    return QStringLiteral("update memos set pid='root' where pid<>'root' and"
                          " pid not in (select mid from memos where pid='root')");
}

} // namespace Sql
