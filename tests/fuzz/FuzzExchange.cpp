#include "FuzzExchange.h"
#include "exchange/Dlg_ReplaceAsk.h"
#include "exchange/ExchangeReader.h"
#include "exchange/KvContainer.h"
#include "exchange/pU_XmlTry.h"
#include "store/KvConnection.h"
#include "store/KvQuery.h"
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {

int Count(KvConnection &connection, const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(connection.handle(), sql, -1, &stmt, nullptr) != SQLITE_OK)
        std::abort();
    const int count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return count;
}

// Every memo is in sight (top-level, or under a top-level memo) and no id is unusable.
void CheckStored(KvConnection &connection)
{
    const char *const broken[] = {
        ("select count(*) from memos where pid is null or (pid<>'root' and"
         " pid not in (select mid from memos where pid='root'))"),
        "select count(*) from memos where mid='root' or mid='' or instr(mid, char(0)) > 0",
        "select count(*) from tasks where tid='root' or tid='' or instr(tid, char(0)) > 0",
    };
    for (const char *sql : broken) {
        if (Count(connection, sql) != 0) {
            std::fprintf(stderr, "broken after a run: %s\n", sql);
            std::abort();
        }
    }
}

void ReadDocument(const QByteArray &text, int answer)
{
    Txmltry xml;
    try {
        xml.LoadFromText(QString::fromUtf8(text));
    } catch (const std::exception &) {
        return;
    }
    xml.OnMissingAttribute = [](const QString &) {};
    KvConnection connection;
    connection.open(QStringLiteral(":memory:"));
    KvQuery query(connection);
    for (int run = 0; run < 3; ++run) {
        ExchangeReader reader(connection, query, xml);
        try {
            ExchangeReader::CheckApp(xml);
            if (run == 0)
                reader.Import();
            else
                reader.Restore([answer](const Exchange::RecordKind &, const QString &, TDateTime, const QString &,
                                        TDateTime) { return answer; });
        } catch (const std::exception &) {
        }
        CheckStored(connection);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The last byte picks the answer to replace questions.
    static const int kAnswers[] = {TReplaceAskDlg::mrYes, TReplaceAskDlg::mrNo, TReplaceAskDlg::mrAll,
                                   TReplaceAskDlg::mrAbort, TReplaceAskDlg::mrCancel};
    const int answer = kAnswers[size ? data[size - 1] % 5 : 0];
    try {
        ReadDocument(KvContainer::Decompress(bytes), answer);
    } catch (const KvContainer::Error &) {
    }
    ReadDocument(bytes, answer);
    return 0;
}
