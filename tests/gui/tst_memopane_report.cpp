// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoOutput.h"
#include "core/Database.h"
#include "treeview/MemoTree.h"
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

QStringList reportLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    if (data.startsWith("\xEF\xBB\xBF") || !data.endsWith("\r\n"))
        return {QStringLiteral("<bad framing>")};
    QStringList lines = QString::fromUtf8(data).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

// Memos A (two sub-memos, expanded) and B (none), and C collapsed with one sub-memo.
void Seed(const TestFolder &folder)
{
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"), true);
    insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"));
    insertMemoRow(connection, QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("a2 <b>bold</b>"));
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b\r\nsecond line"));
    insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("c"), false);
    insertMemoRow(connection, QStringLiteral("{C1}"), QStringLiteral("{C}"), QStringLiteral("c1"));
}

const QString kMemo1 = QStringLiteral("<li><p style=\"margin: 4px 0 4px 0; padding: 0 0 0 10px; background: #F3F3FA;\">");
const QString kMemo2 = QStringLiteral("<li><p style=\"margin: 4px 0 4px 0; padding: 0 0 0 10px; background: #D1E9E9;\">");
const QString kSub1 = QStringLiteral("<li><p style=\"margin: 2px 0 2px 0; padding: 0 0 0 10; background: #fff;\">");
const QString kSub2 = QStringLiteral("<li><p style=\"margin: 2px 0 2px 0; padding: 0 0 0 10; background: #F5FFE8;\">");
const QString kNested = QStringLiteral("<ul style=\"list-style-type: circle; margin: 0 0 5px 15px; font-size: 95%;\">");

} // namespace

class TestMemosReport : public QObject {
    Q_OBJECT
private slots:
    void htmlReportOfTwoMemos();
    void textReportOfTwoMemos();
    void emptySelection();
    void saveAllWritesVisibleSubMemosTwice();
    void extensionFollowsTheFilter();
    void changedNameAsksBeforeReplacing();
    void writeFailureIsReported();
    void printingSpansPages();
    void emailAttachesReportAndExchangeFile();
};

void TestMemosReport::htmlReportOfTwoMemos()
{
    TestFolder folder;
    Seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{B}")), true);
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{A}")), true);
    const QString path = folder.file(QStringLiteral("r.html"));
    QVERIFY(frame.output().writeHtmlReport(false, path));
    QCOMPARE(frame.tree()->selectedCount(), 2);

    const QStringList lines = reportLines(path);
    QCOMPARE(lines.mid(0, 4),
             QStringList({"<html><body>", "<h1>Memos</h1>",
                          "<hr style=\"background: #666;color: #666;height: 1px; margin: 0 5px 0 5px;\"></>",
                          "<ul style=\"list-style-type: disc; font-size: 105%;\">"}));
    QCOMPARE(lines.mid(4, 12), QStringList({kMemo1, "a</p></li>", kNested, kSub1, "a1</p></li>", kSub2,
                                            "a2 <b>bold</b></p></li>", "</ul>", kMemo2,
                                            "b<br> second line</p></li>", kNested, "</ul>"}));
    QCOMPARE(lines[16], QStringLiteral("</ul>"));
    QVERIFY(lines[17].startsWith(QStringLiteral("<hr /><p>Memos 2, Sub-Memos 2 - ")));
    QVERIFY(lines[18].startsWith(QStringLiteral("<p>By Korvel Jotwell ")));
    QVERIFY(lines[19].startsWith(QStringLiteral("<p><a href=\"https://")) && lines[19].endsWith(QStringLiteral("</a></p>")));
    QCOMPARE(lines[20], QStringLiteral("</body></html>"));
    QCOMPARE(lines.size(), 21);
}

void TestMemosReport::textReportOfTwoMemos()
{
    TestFolder folder;
    Seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{A}")), true);
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{B}")), true);
    const QString path = folder.file(QStringLiteral("r.txt"));
    QVERIFY(frame.output().writeTextReport(false, path));
    const QStringList lines = reportLines(path);
    QCOMPARE(lines.mid(0, 9), QStringList({"Memos", QString(33, QLatin1Char('-')), "", " * a", "   - a1",
                                           "   - a2 <b>bold</b>", " * b", "   second line", ""}));
    QCOMPARE(lines[9], QString(33, QLatin1Char('-')));
    QVERIFY(lines[10].startsWith(QStringLiteral(" Memos 2, Sub-Memos 2 - ")));
    QVERIFY(lines[11].startsWith(QStringLiteral(" By Korvel Jotwell ")));
    QVERIFY(lines[12].startsWith(QStringLiteral(" https://")) && !lines[12].contains(QLatin1Char('?')));
    QCOMPARE(lines.size(), 13);
}

void TestMemosReport::emptySelection()
{
    TestFolder folder;
    Seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    QVERIFY(frame.output().writeTextReport(false, folder.file(QStringLiteral("e.txt"))));
    QVERIFY(reportLines(folder.file(QStringLiteral("e.txt")))[5].startsWith(QStringLiteral(" Memos 0, Sub-Memos 0 - ")));
    QVERIFY(frame.output().writeHtmlReport(false, folder.file(QStringLiteral("e.html"))));
    const QStringList html = reportLines(folder.file(QStringLiteral("e.html")));
    QCOMPARE(html[4], QStringLiteral("</ul>"));
    QVERIFY(html[5].startsWith(QStringLiteral("<hr /><p>Memos 0, Sub-Memos 0 - ")));
    QVERIFY(prompts.shown.isEmpty());
}

void TestMemosReport::saveAllWritesVisibleSubMemosTwice()
{
    TestFolder folder;
    Seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    prompts.fileAnswers = {folder.file(QStringLiteral("all.txt"))};
    prompts.fileFilterAnswers = {0};
    findAction(frame, "saveAll")->trigger();
    const QStringList lines = reportLines(folder.file(QStringLiteral("all.txt")));
    // A's visible sub-memos appear in its list and again on their own; C's hidden one only once.
    QCOMPARE(lines.mid(3, 9), QStringList({" * a", "   - a1", "   - a2 <b>bold</b>", " * a1", " * a2 <b>bold</b>",
                                           " * b", "   second line", " * c", "   - c1"}));
    QVERIFY(lines[14].startsWith(QStringLiteral(" Memos 5, Sub-Memos 3 - ")));
    QCOMPARE(frame.tree()->selectedCount(), 0);
}

void TestMemosReport::extensionFollowsTheFilter()
{
    TestFolder folder;
    Seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    prompts.fileAnswers = {folder.file(QStringLiteral("notes.htm")), folder.file(QStringLiteral("notes.html")),
                           folder.file(QStringLiteral("plain"))};
    prompts.fileFilterAnswers = {1, 0, 0};
    findAction(frame, "save")->trigger();
    findAction(frame, "save")->trigger();
    findAction(frame, "save")->trigger();
    // Patterns apart by blanks, as Qt's dialog takes them, so that .htm files are listed too.
    QCOMPARE(prompts.fileRequests[0].nameFilters, QStringList({"Text file (*.txt)", "HTML file (*.htm *.html)"}));
    QVERIFY(QFile::exists(folder.file(QStringLiteral("notes.html"))));
    QVERIFY(!QFile::exists(folder.file(QStringLiteral("notes.htm"))));
    QCOMPARE(reportLines(folder.file(QStringLiteral("notes.html")))[0], QStringLiteral("<html><body>"));
    QCOMPARE(reportLines(folder.file(QStringLiteral("notes.txt")))[0], QStringLiteral("Memos"));
    QVERIFY(QFile::exists(folder.file(QStringLiteral("plain.txt"))));

    // Cancelled, or while an edit is open: nothing.
    findAction(frame, "save")->trigger();
    QCOMPARE(prompts.fileRequests.size(), 4);
    markForEditing(frame, findMemo(frame, QStringLiteral("{A}")));
    frame.output().saveReport(false);
    frame.controller().commitOpenEdit();
    QCOMPARE(prompts.fileRequests.size(), 4);
}

void TestMemosReport::changedNameAsksBeforeReplacing()
{
    TestFolder folder;
    Seed(folder);
    const QString existing = folder.file(QStringLiteral("notes.txt"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("keep\r\n") == 6);
    file.close();
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    prompts.fileAnswers = {folder.file(QStringLiteral("notes")), folder.file(QStringLiteral("notes")), existing};
    prompts.fileFilterAnswers = {0, 0, 0};
    prompts.answers = {BoxAnswer::Cancel, BoxAnswer::Ok};
    findAction(frame, "save")->trigger();
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown[0].caption, QStringLiteral("Ask"));
    QCOMPARE(reportLines(existing), QStringList{QStringLiteral("keep")});
    findAction(frame, "save")->trigger();
    QCOMPARE(reportLines(existing)[0], QStringLiteral("Memos"));
    // The name the dialog confirmed itself is not asked about again.
    findAction(frame, "save")->trigger();
    QCOMPARE(prompts.shown.size(), 2);
}

void TestMemosReport::writeFailureIsReported()
{
    TestFolder folder;
    Seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    QVERIFY(!frame.output().writeHtmlReport(true, folder.file(QStringLiteral("missing/folder/r.html"))));
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown[0].caption, QStringLiteral("Error"));
    QCOMPARE(prompts.shown[0].text, QStringLiteral("File write failure!"));
    QCOMPARE(frame.tree()->selectedCount(), 0);
}

void TestMemosReport::printingSpansPages()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        for (int i = 0; i < 300; ++i)
            insertMemoRow(connection, QStringLiteral("{%1}").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("root"),
                          QStringLiteral("memo number %1").arg(i, 3, 10, QLatin1Char('0')));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    findAction(frame, "print")->trigger(); // cancelled
    const QString pdf = folder.file(QStringLiteral("print.pdf"));
    prompts.printToPdf = pdf;
    markForEditing(frame, findMemo(frame, QStringLiteral("{000}")));
    frame.output().printMemos();
    QVERIFY(!QFile::exists(pdf));
    frame.controller().commitOpenEdit();
    findAction(frame, "print")->trigger();
    QVERIFY(QFile::exists(pdf));

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed; the PDF's text cannot be checked");
    QProcess process;
    process.start(pdftotext, {pdf, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY(text.count(QLatin1Char('\f')) > 1); // one form feed per page
    QVERIFY(text.contains(QStringLiteral("memo number 000")));
    QVERIFY(text.contains(QStringLiteral("memo number 299")));
}

void TestMemosReport::emailAttachesReportAndExchangeFile()
{
    TestFolder folder;
    Seed(folder);
    // A stand-in mail program first on PATH records what it is handed.
    QTemporaryDir bin;
    const QString log = bin.filePath(QStringLiteral("calls.txt"));
    QFile script(bin.filePath(QStringLiteral("xdg-email")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '%1'; done\n"
                                "printf -- '--end--\\n' >> '%1'\n").arg(log).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + path);

    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{A}")), true);
    findAction(frame, "email")->trigger();
    frame.tree()->clearSelection();
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{B}")), true);
    findAction(frame, "email")->trigger();
    // The hand-overs run on without holding the window; the mail program takes over unannounced.
    const auto runsDone = [&log] {
        QFile calls(log);
        return calls.open(QIODevice::ReadOnly) ? calls.readAll().count("--end--") : 0;
    };
    QTRY_COMPARE_WITH_TIMEOUT(runsDone(), 2, 10000);
    QTest::qWait(100);
    QCOMPARE(prompts.shown.size(), 0);

    const QString html = folder.file(QStringLiteral("Temp/Memos.html"));
    const QString kvx = folder.file(QStringLiteral("Temp/Memos.kvx"));
    QVERIFY(QFile::exists(html) && QFile::exists(kvx)); // Temp was made for the first mail
    QVERIFY(reportLines(html).contains(QStringLiteral("b<br> second line</p></li>"))); // the second mail's
    QVERIFY(!reportLines(html).contains(QStringLiteral("a1</p></li>")));

    QFile calls(log);
    QVERIFY(calls.open(QIODevice::ReadOnly));
    const QStringList runs = QString::fromUtf8(calls.readAll()).split(QStringLiteral("--end--\n"), Qt::SkipEmptyParts);
    QCOMPARE(runs.size(), 2);
    const QStringList arguments = runs[1].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const qsizetype subject = arguments.indexOf(QStringLiteral("--subject"));
    QVERIFY(subject >= 0 && arguments.value(subject + 1) == QStringLiteral("Memos"));
    const qsizetype body = arguments.indexOf(QStringLiteral("--body"));
    QVERIFY(body >= 0);
    QCOMPARE(arguments.value(body + 1), QStringLiteral("Memos.html: HTML file, you can open it with website browser."));
    QCOMPARE(arguments.value(body + 2),
             QStringLiteral("Memos.kvx: Korvel data file, you can import it into Korvel software directly."));
    QVERIFY(arguments.value(body + 3).startsWith(QStringLiteral("--"))); // exactly two lines
    const qsizetype firstAttach = arguments.indexOf(QStringLiteral("--attach"));
    QCOMPARE(arguments.value(firstAttach + 1), html);
    QCOMPARE(arguments.value(arguments.indexOf(QStringLiteral("--attach"), firstAttach + 1) + 1), kvx);

    // No mail program to hand the message to, found by xdg-email or because there is no
    // xdg-email at all: the user is told where the files are all the same.
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexit 3\n");
    script.close();
    findAction(frame, "email")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(prompts.shown.size(), 1, 10000);
    qputenv("PATH", "/nonexistent");
    findAction(frame, "email")->trigger();
    qputenv("PATH", path);
    QCOMPARE(prompts.shown.size(), 2);
    // A failure told while an edit is open waits for its end rather than end it.
    findAction(frame, "email")->trigger();
    markForEditing(frame, findMemo(frame, QStringLiteral("{A}")));
    QPlainTextEdit *editor = openEditor(frame);
    QVERIFY(editor);
    QTest::qWait(300);
    QCOMPARE(prompts.shown.size(), 2);
    QVERIFY(frame.tree()->isEditing());
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_COMPARE(prompts.shown.size(), 3);
    const QString temp = QDir::toNativeSeparators(folder.file(QStringLiteral("Temp")));
    for (int i : {0, 1, 2}) {
        QCOMPARE(prompts.shown[i].caption, QStringLiteral("Tip"));
        QCOMPARE(prompts.shown[i].text,
                 QStringLiteral("No mail program could take the message. You can send Memos.html and Memos.kvx from ")
                     + temp + QLatin1Char('.'));
    }
}

JOTWELL_TEST_MAIN(TestMemosReport)
#include "tst_memopane_report.moc"
