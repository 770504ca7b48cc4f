// SPDX-License-Identifier: GPL-3.0-or-later
// The filter's substring test against QString::contains, the rule it must keep: texts over a
// small alphabet so that near misses (first and last character right, middle wrong) are
// common, at every length and offset around the eight-character steps it takes.
#include "core/MemoSearch.h"
#include <QRandomGenerator>
#include <QtTest>

namespace {

QString randomText(QRandomGenerator &random, int length, const QString &alphabet)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += alphabet.at(random.bounded(int(alphabet.size())));
    return text;
}

bool holds(const QString &text, const QString &searchText)
{
    return MemoSearch(searchText, false).holds(text);
}

} // namespace

class TestMemoSearch : public QObject {
    Q_OBJECT
private slots:
    void agreesWithContainsEverywhere();
    void placesAndEdges();
    void wideSearchShowsSubMemosOfAMatch();
};

void TestMemoSearch::agreesWithContainsEverywhere()
{
    QRandomGenerator random(19);
    const QString alphabet = QStringLiteral("ab\u00e9\U0001F600");
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(random, random.bounded(0, 40), alphabet);
        const QString searchText = randomText(random, random.bounded(1, 7), alphabet);
        QVERIFY2(holds(text, searchText) == text.contains(searchText, Qt::CaseSensitive),
                 qPrintable(text + QLatin1String(" / ") + searchText));
    }
}

void TestMemoSearch::placesAndEdges()
{
    // A single hit at every offset, for search texts shorter and longer than one step.
    for (const QString &searchText : {QStringLiteral("x"), QStringLiteral("xy"), QStringLiteral("needle"),
                                      QStringLiteral("a longer needle of text")}) {
        for (int at = 0; at < 40; ++at) {
            const QString text = QString(at, QLatin1Char('.')) + searchText + QString(at % 9, QLatin1Char('.'));
            QVERIFY2(holds(text, searchText), qPrintable(QString::number(at) + searchText));
            QString broken = text;
            broken[at + searchText.size() - 1] = QLatin1Char('#');
            QVERIFY(!holds(broken, searchText));
        }
    }
    // Case counts; a text shorter than the search text; nothing typed holds everywhere.
    QVERIFY(!holds(QStringLiteral("Needle in a haystack"), QStringLiteral("needle")));
    QVERIFY(!holds(QStringLiteral("need"), QStringLiteral("needle")));
    QVERIFY(!holds(QString(), QStringLiteral("n")));
    QVERIFY(holds(QString(), QString()));
    // First and last character in place at a step's edge, the middle differing.
    QVERIFY(!holds(QStringLiteral("0123456nxxxxe"), QStringLiteral("nabce")));
}

void TestMemoSearch::wideSearchShowsSubMemosOfAMatch()
{
    Memo subMemo;
    subMemo.content = QStringLiteral("milk");
    QVERIFY(MemoSearch(QStringLiteral("bread"), true).showsSubMemo(subMemo, true));
    QVERIFY(!MemoSearch(QStringLiteral("bread"), false).showsSubMemo(subMemo, true));
    QVERIFY(MemoSearch(QStringLiteral("milk"), false).showsSubMemo(subMemo, false));
}

QTEST_GUILESS_MAIN(TestMemoSearch)
#include "tst_memosearch.moc"
