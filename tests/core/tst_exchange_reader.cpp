// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreTestSupport.h"
#include "core/Database.h"
#include "core/ExchangeFile.h"
#include "core/ExchangeReader.h"
#include "core/MemoStore.h"
#include "core/XmlNavigator.h"
#include <QtTest>

namespace {

// Answers replace questions from a list, as a script would, and remembers what it heard.
class ScriptedListener : public ExchangeReader::Listener {
public:
    QList<ExchangeReader::ReplaceAnswer> answers; // taken in turn; No when none is left
    QStringList asked;                            // stored content, then the file's
    QList<qint64> progressSeen;

    ExchangeReader::ReplaceAnswer askReplace(const Exchange::RecordKind &kind, const QString &storedContent,
                                             TimeStamp, const QString &fileContent, TimeStamp) override
    {
        asked << kind.name + QLatin1Char(':') + storedContent + QLatin1Char('>') + fileContent;
        return answers.isEmpty() ? ExchangeReader::ReplaceAnswer::No : answers.takeFirst();
    }
    void progress(qint64 done) override { progressSeen << done; }
};

QString memoElement(const char *mid, const char *pid, const char *content)
{
    return QStringLiteral("<memo mid=\"%1\" pid=\"%2\" content=\"%3\" assign-time=\"2020-01-02T03:04:05.000+00:00\""
                          " create-time=\"2020-01-02T03:04:05.000+00:00\" edit-time=\"2020-01-02T03:04:05.000+00:00\"/>")
        .arg(QLatin1String(mid), QLatin1String(pid), QLatin1String(content));
}

void loadDocument(XmlNavigator &xml, const QString &memos)
{
    xml.loadFromText(QStringLiteral("<korvel app=\"Dayloom\"><tasks/><memos>%1</memos></korvel>").arg(memos));
}

QStringList contents(MemoStore &store)
{
    QStringList texts;
    for (const Memo &memo : store.allMemos())
        texts << memo.mid + QLatin1Char('=') + memo.content;
    return texts;
}

} // namespace

class TestExchangeReader : public QObject {
    Q_OBJECT
private slots:
    void restoreFollowsTheAnswers();
    void abortKeepsWhatWasStored();
    void importNeverAsks();
    void valuesAreStoredAsTheirText();
};

void TestExchangeReader::restoreFollowsTheAnswers()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(connection);
    for (const char *mid : {"{A}", "{B}", "{C}", "{D}"})
        insertMemoRow(connection, QString::fromLatin1(mid), QStringLiteral("root"), QStringLiteral("old"));
    XmlNavigator xml;
    loadDocument(xml, memoElement("{A}", "root", "a") + memoElement("{B}", "root", "b") + memoElement("{N}", "root", "n")
                          + memoElement("{C}", "root", "c") + memoElement("{D}", "root", "d"));
    ScriptedListener listener;
    using Answer = ExchangeReader::ReplaceAnswer;
    listener.answers = {Answer::No, Answer::Yes, Answer::All};
    ExchangeReader reader(store, xml, listener);
    reader.restore();

    // A new record is never asked about; after All nothing more is asked.
    QCOMPARE(listener.asked, QStringList({"memo:old>a", "memo:old>b", "memo:old>c"}));
    QCOMPARE(contents(store), QStringList({"{A}=old", "{B}=b", "{C}=c", "{D}=d", "{N}=n"}));
    QCOMPARE(listener.progressSeen, QList<qint64>({0, 1, 2, 3, 4}));
    QCOMPARE(reader.StoredMemos, 4);
}

void TestExchangeReader::abortKeepsWhatWasStored()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(connection);
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("old"));
    XmlNavigator xml;
    // {S} hangs under a memo the run never reaches: it must still be seen.
    loadDocument(xml, memoElement("{A}", "root", "a") + memoElement("{S}", "{Z}", "s") + memoElement("{B}", "root", "b")
                          + memoElement("{Z}", "root", "z"));
    ScriptedListener listener;
    listener.answers = {ExchangeReader::ReplaceAnswer::Abort};
    ExchangeReader reader(store, xml, listener);
    reader.restore();
    QCOMPARE(contents(store), QStringList({"{B}=old", "{A}=a", "{S}=s"}));
    QCOMPARE(store.findMemo(QStringLiteral("{S}"))->pid, QStringLiteral("root"));

    // A run that fails halfway keeps the records before the failure.
    XmlNavigator broken;
    loadDocument(broken, memoElement("{E}", "root", "e")
                             + QStringLiteral("<memo mid=\"{F}\" pid=\"root\" content=\"f\" assign-time=\"never\""
                                              " create-time=\"never\" edit-time=\"never\"/>"));
    broken.onMissingAttribute = [](const QString &) {};
    ExchangeReader failing(store, broken, listener);
    QVERIFY_THROWS_EXCEPTION(std::exception, failing.restore());
    QVERIFY(store.findMemo(QStringLiteral("{E}")));
    QVERIFY(!store.findMemo(QStringLiteral("{F}")));
}

void TestExchangeReader::importNeverAsks()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(connection);
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("old"));
    XmlNavigator xml;
    loadDocument(xml, memoElement("{A}", "root", "a") + memoElement("{K}", "{A}", "k"));
    ScriptedListener listener;
    ExchangeReader reader(store, xml, listener);
    reader.import();
    QVERIFY(listener.asked.isEmpty());
    // Copies under fresh ids; the sub-memo follows its memo's copy.
    const std::vector<Memo> memos = store.allMemos();
    QCOMPARE(memos.size(), size_t(3));
    QCOMPARE(memos[0].content, QStringLiteral("old"));
    QVERIFY(memos[1].mid != QStringLiteral("{A}"));
    QCOMPARE(memos[2].pid, memos[1].mid);
}

// Values go to the database as the file's own bytes where they can: what is stored must be
// what the text reads as, whatever the bytes.
void TestExchangeReader::valuesAreStoredAsTheirText()
{
    // Invalid UTF-8 (read as U+FFFD), a leading byte order mark (dropped), every kind of line
    // break, an empty value; an id that is invalid UTF-8 is unusable, and its sub-memo follows
    // the fresh id; an id with a byte order mark is the same id as its parent reference.
    const auto element = [](const QByteArray &mid, const QByteArray &pid, const QByteArray &content) {
        return memoElement("M", "P", "C").toUtf8().replace("\"M\"", '"' + mid + '"').replace("\"P\"", '"' + pid + '"').replace(
            "\"C\"", '"' + content + '"');
    };
    const QByteArray file =
        "<korvel app=\"Dayloom\"><tasks><task tid=\"{T}\" pid=\"root\" content=\"\xEF\xBB\xBFt\" check-flag=\"\xC0\""
        " alarm-flag=\"\" due-flag=\"0\" text-color=\"1\" background-color=\"2\""
        " create-time=\"2020-01-02T03:04:05Z\" edit-time=\"2020-01-02T03:04:05Z\" check-time=\"2020-01-02T03:04:05Z\""
        " alarm-time=\"2020-01-02T03:04:05Z\" due-time=\"2020-01-02T03:04:05Z\"/></tasks><memos>"
        + element("{A}", "root", "a&#13;&#10;b&#13;c&#10;d\xFF\xFE" "e") + element("{\xFF}", "root", "")
        + element("{S}", "{\xFF}", "s") + element("\xEF\xBB\xBF{B}", "root", "b") + element("{C}", "{B}", "c")
        + element("{D}", "root", "x&#13;y&#13;z") + "</memos></korvel>";
    const QString replaced(QChar::ReplacementCharacter);
    for (const bool restore : {true, false}) {
        TestFolder folder;
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        MemoStore store(connection);
        XmlNavigator xml;
        QVERIFY(xml.document().load_buffer(file.constData(), size_t(file.size()), pugi::parse_default,
                                           pugi::encoding_utf8));
        ScriptedListener listener;
        ExchangeReader reader(store, xml, listener);
        restore ? reader.restore() : reader.import();

        const std::vector<Memo> memos = store.allMemos();
        QCOMPARE(memos.size(), size_t(6));
        QCOMPARE(memos[5].content, QStringLiteral("x\r\ny\r\nz")); // lone CRs its only breaks
        QCOMPARE(memos[0].content, "a\r\nb\r\nc\r\nd" + replaced + replaced + "e");
        QCOMPARE(memos[1].content, QString());
        QCOMPARE(store.memoRowsAfter(0).at(1).nullColumns, 0u); // empty, never NULL
        QVERIFY(ExchangeReader::isUsableId(memos[1].mid.toUtf8()));
        QCOMPARE(memos[2].pid, memos[1].mid);
        QCOMPARE(memos[3].mid.size(), restore ? 3 : memos[1].mid.size()); // no byte order mark
        QCOMPARE(memos[4].pid, memos[3].mid);
        if (restore)
            QCOMPARE(memos[0].mid, QStringLiteral("{A}"));
        QCOMPARE(store.allTasks().at(0).content, QStringLiteral("t"));
        QCOMPARE(store.allTasks().at(0).checkFlag, replaced);
        QCOMPARE(store.allTasks().at(0).alarmFlag, QString());
    }
}

QTEST_GUILESS_MAIN(TestExchangeReader)
#include "tst_exchange_reader.moc"
