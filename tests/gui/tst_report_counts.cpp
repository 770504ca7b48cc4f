// SPDX-License-Identifier: GPL-3.0-or-later
// Report footers count memos and sub-memos apart, and report names keep their inner dots.
#include "TestSupport.h"
#include "core/Database.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoOutput.h"
#include "treeview/MemoTree.h"
#include <QFile>
#include <QtTest>

namespace {

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Three memos with three sub-memos under the first; a fourth memo with none.
void seed(const TestFolder &folder)
{
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"), true);
    for (const char *sub : {"{A1}", "{A2}", "{A3}"})
        insertMemoRow(connection, QString::fromLatin1(sub), QStringLiteral("{A}"), QStringLiteral("sub ") + QLatin1String(sub));
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
    insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("c"));
    insertMemoRow(connection, QStringLiteral("{D}"), QStringLiteral("root"), QStringLiteral("d"));
}

} // namespace

class TestReportCounts : public QObject {
    Q_OBJECT
private slots:
    void footersCountMemosAndSubMemosApart();
    void namesWithInnerDotsKeepThem();
};

void TestReportCounts::footersCountMemosAndSubMemosApart()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    for (const char *mid : {"{A}", "{B}", "{C}", "{D}"})
        frame.tree()->setSelected(findMemo(frame, QString::fromLatin1(mid)), true);
    const QString html = folder.file(QStringLiteral("r.html")), text = folder.file(QStringLiteral("r.txt"));
    QVERIFY(frame.output().writeHtmlReport(false, html));
    QVERIFY(frame.output().writeTextReport(false, text));
    QVERIFY2(fileText(html).contains(QStringLiteral("<hr /><p>Memos 4, Sub-Memos 3 - ")), qPrintable(fileText(html)));
    QVERIFY2(fileText(text).contains(QStringLiteral("\r\n Memos 4, Sub-Memos 3 - ")), qPrintable(fileText(text)));

    // Fewer memos than sub-memos.
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{C}")), false);
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{D}")), false);
    QVERIFY(frame.output().writeHtmlReport(false, html));
    QVERIFY2(fileText(html).contains(QStringLiteral("<hr /><p>Memos 2, Sub-Memos 3 - ")), qPrintable(fileText(html)));
}

void TestReportCounts::namesWithInnerDotsKeepThem()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("by.month")));
    const QString dotted = folder.file(QStringLiteral("by.month/minutes.2026-03"));
    // Text, then HTML, then a name with no extension in a folder with a dot.
    prompts.fileAnswers = {dotted + QStringLiteral(".txt"), dotted + QStringLiteral(".txt"),
                           folder.file(QStringLiteral("by.month/plain"))};
    prompts.fileFilterAnswers = {0, 1, 0};
    for (int i = 0; i < 3; ++i)
        program.frame().output().saveReport(true);
    QVERIFY(fileText(dotted + QStringLiteral(".txt")).startsWith(QStringLiteral("Memos\r\n")));
    QVERIFY(fileText(dotted + QStringLiteral(".html")).startsWith(QStringLiteral("<html><body>\r\n")));
    QVERIFY(QFile::exists(folder.file(QStringLiteral("by.month/plain.txt"))));
    QCOMPARE(QDir(folder.file(QStringLiteral("by.month"))).entryList(QDir::Files),
             QStringList({"minutes.2026-03.html", "minutes.2026-03.txt", "plain.txt"}));
    QVERIFY(prompts.shown.isEmpty());
}

JOTWELL_TEST_MAIN(TestReportCounts)
#include "tst_report_counts.moc"
