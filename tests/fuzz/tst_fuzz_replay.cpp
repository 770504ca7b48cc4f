// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz target's seed corpus, replayed through the same entry point in every test run.
#include "FuzzExchange.h"
#include "TestSupport.h"
#include <QDir>
#include <QtTest>

class TestFuzzReplay : public QObject {
    Q_OBJECT
private slots:
    void seedCorpus();
};

void TestFuzzReplay::seedCorpus()
{
    const QDir corpus(QStringLiteral(JOTWELL_FUZZ_CORPUS));
    const QStringList seeds = corpus.entryList(QDir::Files);
    QVERIFY(seeds.size() >= 10);
    for (const QString &seed : seeds) {
        QFile file(corpus.filePath(seed));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    }
}

JOTWELL_TEST_MAIN(TestFuzzReplay)
#include "tst_fuzz_replay.moc"
