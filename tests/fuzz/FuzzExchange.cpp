// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzExchange.h"
#include "core/ExchangeReader.h"
#include "core/ExchangeContainer.h"
#include "core/XmlNavigator.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {

int count(Database &connection, const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(connection.handle(), sql, -1, &stmt, nullptr) != SQLITE_OK)
        std::abort();
    const int count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return count;
}

// Every memo is in sight (top-level, or under a top-level memo) and no id is unusable.
void checkStored(Database &connection)
{
    const char *const broken[] = {
        ("select count(*) from memos where pid is null or (pid<>'root' and"
         " pid not in (select mid from memos where pid='root'))"),
        "select count(*) from memos where mid='root' or mid='' or instr(mid, char(0)) > 0",
        "select count(*) from tasks where tid='root' or tid='' or instr(tid, char(0)) > 0",
    };
    for (const char *sql : broken) {
        if (count(connection, sql) != 0) {
            std::fprintf(stderr, "broken after a run: %s\n", sql);
            std::abort();
        }
    }
}

// Gives every replace question the same answer.
struct FixedAnswer : ExchangeReader::Listener {
    explicit FixedAnswer(ExchangeReader::ReplaceAnswer answer) : answer(answer) {}
    ExchangeReader::ReplaceAnswer askReplace(const Exchange::RecordKind &, const QString &, TimeStamp, const QString &,
                                             TimeStamp) override
    {
        return answer;
    }
    ExchangeReader::ReplaceAnswer answer;
};

void readDocument(const QByteArray &text, ExchangeReader::ReplaceAnswer answer)
{
    XmlNavigator xml;
    try {
        xml.loadFromText(QString::fromUtf8(text));
    } catch (const std::exception &) {
        return;
    }
    xml.onMissingAttribute = [](const QString &) {};
    Database connection;
    connection.open(QStringLiteral(":memory:"));
    MemoStore store(connection);
    FixedAnswer listener{answer};
    for (int run = 0; run < 3; ++run) {
        ExchangeReader reader(store, xml, listener);
        try {
            ExchangeReader::checkApp(xml);
            if (run == 0)
                reader.import();
            else
                reader.restore();
        } catch (const std::exception &) {
        }
        checkStored(connection);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The last byte picks the answer to replace questions.
    using Answer = ExchangeReader::ReplaceAnswer;
    static const Answer kAnswers[] = {Answer::Yes, Answer::No, Answer::All, Answer::Abort};
    const Answer answer = kAnswers[size ? data[size - 1] % 4 : 0];
    try {
        readDocument(ExchangeContainer::decompress(bytes), answer);
    } catch (const ExchangeContainer::Error &) {
    }
    readDocument(bytes, answer);
    return 0;
}
