// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchData.h"
#include "core/Database.h"
#include "core/MemoId.h"
#include "core/MemoLevels.h"
#include <QRandomGenerator>
#include <QStringList>
#include <sqlite3.h>
#include <stdexcept>

namespace {

const QStringList kWords = {
    QStringLiteral("call"),    QStringLiteral("buy"),     QStringLiteral("milk"),   QStringLiteral("meeting"),
    QStringLiteral("Monday"),  QStringLiteral("report"),  QStringLiteral("garden"), QStringLiteral("invoice"),
    QStringLiteral("remember"), QStringLiteral("ticket"), QStringLiteral("dentist"), QStringLiteral("birthday"),
    QStringLiteral("project"), QStringLiteral("review"),  QStringLiteral("Anna"),   QStringLiteral("bread"),
    QStringLiteral("plan"),    QStringLiteral("the"),     QStringLiteral("and"),    QStringLiteral("before"),
};

QString memoText(QRandomGenerator &random)
{
    const int length = random.bounded(40, 301);
    const int lines = random.bounded(1, 6);
    QString text;
    int lineLength = 0;
    while (text.size() < length) {
        const QString &word = kWords[random.bounded(int(kWords.size()))];
        if (lineLength > 0) {
            const bool newLine = text.count(QLatin1Char('\n')) < lines - 1 && lineLength > length / lines;
            text += newLine ? QStringLiteral("\r\n") : QStringLiteral(" ");
            lineLength = newLine ? 0 : lineLength + 1;
        }
        text += word;
        lineLength += int(word.size());
    }
    // About one memo in a hundred holds a word that the filter benchmark looks for.
    if (random.bounded(100) == 0)
        text = QStringLiteral("needle ") + text;
    return text.left(length).trimmed();
}

} // namespace

void generateMemoFolder(const QString &folder, int count)
{
    Database connection;
    connection.open(folder + QStringLiteral("/kvData.kvb"));
    sqlite3 *db = connection.handle();
    connection.execute(QStringLiteral("begin"));
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into memos (mid, pid, content, expandFlag, assignTime, createTime, editTime)"
                       " values (?, ?, ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    QRandomGenerator random{quint32(count)};
    const auto insert = [&](const QString &mid, const QString &pid, bool expanded) {
        const QByteArray m = mid.toUtf8(), p = pid.toUtf8(), c = memoText(random).toUtf8();
        const double time = 45000.0 + random.bounded(1000.0);
        sqlite3_bind_text(stmt, 1, m.constData(), int(m.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, p.constData(), int(p.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 3, c.constData(), int(c.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(stmt, 4, expanded ? 1 : 0);
        for (int column = 5; column <= 7; ++column)
            sqlite3_bind_double(stmt, column, time);
        if (sqlite3_step(stmt) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(stmt);
    };
    const int memos = count / 4;
    int written = 0;
    for (int i = 0; i < memos; ++i) {
        const QString mid = newMemoId();
        insert(mid, MemoLevels::kTopLevelParent, random.bounded(2) == 0);
        ++written;
        for (int child = 0; child < 3 && written < count; ++child, ++written)
            insert(newMemoId(), mid, false);
    }
    sqlite3_finalize(stmt);
    connection.execute(QStringLiteral("commit"));
}
