// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/CommandErrors.h"
#include "FileSizeLimit.h"
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "gui/UpdateDialog.h"
#include "core/SettingsFile.h"
#include "core/ProgramFolder.h"
#include "desktop/SingleInstance.h"
#include "gui/MemoPane.h"
#include "core/Database.h"
#include "treeview/MemoTree.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestApp : public QObject {
    Q_OBJECT
private slots:
    void errorBoxAddsFullStop();
    void commandErrorIsShownAndProgramGoesOn();
    void corruptDatabaseIsReportedAndKept();
    void heldDatabaseOpensOnceFree();
    void dataFolderThatCannotBeCreated();
    void iniFileKeepsOtherKeys();
    void iniFileInReadOnlyFolder();
    void iniFileKeepsForeignLinesByteForByte();
    void iniFileOnFullDiskStaysWhole();
    void programFolderChoice();
    void secondStartHandsOverAndEnds();
    void socketNameDoesNotDependOnTheFolderExisting();
    void socketIsPrivateAndABlockedOneStillStarts();
};

void TestApp::errorBoxAddsFullStop()
{
    QCOMPARE(errorBoxText(QStringLiteral("disk full")), QStringLiteral("disk full."));
    QCOMPARE(errorBoxText(QStringLiteral("done.")), QStringLiteral("done."));
    QCOMPARE(errorBoxText(QStringLiteral("what!")), QStringLiteral("what!")); // '!' is below '.'
    QCOMPARE(errorBoxText(QStringLiteral("code 7")), QStringLiteral("code 7."));
    QCOMPARE(errorBoxText(QString()), QString());
}

void TestApp::commandErrorIsShownAndProgramGoesOn()
{
    ScriptedPrompts prompts;
    // Two commands that end in an error, run from the event loop as the user starts them.
    const auto command = reportingErrors([](bool) { throw std::runtime_error("Something broke"); });
    QMetaObject::invokeMethod(qApp, [command] { command(true); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(qApp, [command] { command(true); }, Qt::QueuedConnection);
    QTRY_COMPARE(prompts.shown.size(), 2);
    QCOMPARE(prompts.shown[0].caption, QStringLiteral("Korvel Jotwell"));
    QCOMPARE(prompts.shown[0].text, QStringLiteral("Something broke."));
    QVERIFY(prompts.shown[0].icon == BoxIcon::Error);
}

void TestApp::corruptDatabaseIsReportedAndKept()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("garbage that is not a database ").repeated(100));
    file.close();
    const QByteArray before = readAll(path);

    ScriptedPrompts prompts;
    int updatePrompts = 0;
    prompts.onDialog = [&updatePrompts](QDialog &dialog) { updatePrompts += qobject_cast<UpdateDialog *>(&dialog) ? 1 : 0; };
    StartedProgram program(folder.path());
    QTest::qWait(20); // the update prompt would be posted after the first show
    QCOMPARE(updatePrompts, 0);
    QVERIFY(!prompts.shown.isEmpty());
    QCOMPARE(prompts.shown[0].caption, QStringLiteral("Korvel Jotwell"));
    QVERIFY2(prompts.shown[0].text.contains(QStringLiteral("not a database")), qPrintable(prompts.shown[0].text));
    QVERIFY(prompts.shown[0].text.endsWith(QLatin1Char('.')));
    // The window is there and empty; the file is untouched.
    QVERIFY(program.mainWindow().isVisible());
    QCOMPARE(program.frame().tree()->totalCount(), 0);
    QCOMPARE(readAll(path), before);
}

void TestApp::heldDatabaseOpensOnceFree()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    Database other;
    other.open(path);
    insertMemoRow(other, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("mine"));
    other.execute(QStringLiteral("begin exclusive"));

    ScriptedPrompts prompts;
    int updatePrompts = 0;
    prompts.onDialog = [&updatePrompts](QDialog &dialog) { updatePrompts += qobject_cast<UpdateDialog *>(&dialog) ? 1 : 0; };
    StartedProgram program(folder.path());
    QCOMPARE(program.frame().tree()->totalCount(), 0);
    other.execute(QStringLiteral("rollback"));
    QTRY_COMPARE_WITH_TIMEOUT(program.frame().tree()->totalCount(), 1, 5000);
    // One clear word, no update prompt over it, and outside changes show from then on.
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown[0].text, "Another program is using the memo database \"" + path
                                        + "\". Your memos are shown as soon as it lets go of the file.");
    insertMemoRow(other, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("theirs"));
    QTRY_COMPARE_WITH_TIMEOUT(program.frame().tree()->totalCount(), 2, 5000);
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(updatePrompts, 0);
}

void TestApp::dataFolderThatCannotBeCreated()
{
    TestFolder folder;
    QFile blocker(folder.file(QStringLiteral("plain-file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ScriptedPrompts prompts;
    StartedProgram program(folder.file(QStringLiteral("plain-file/data/")));
    QVERIFY(!prompts.shown.isEmpty());
    QVERIFY2(prompts.shown[0].text.startsWith(QStringLiteral("Unable to create the data folder")),
             qPrintable(prompts.shown[0].text));
    QVERIFY(program.mainWindow().isVisible());
}

void TestApp::iniFileKeepsOtherKeys()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvConf.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("; my notes\r\n[form]\r\nLeft=10\r\n\r\n[memo]\r\nviewAscEn=1\r\nother=x\r\n");
    file.close();
    const SettingsFile ini(path);
    QCOMPARE(ini.readBool(QStringLiteral("memo"), QStringLiteral("viewAscEn"), false), true);
    QCOMPARE(ini.readBool(QStringLiteral("MEMO"), QStringLiteral("viewlisten"), true), true); // missing: default
    ini.writeBool(QStringLiteral("memo"), QStringLiteral("viewAscEn"), false);
    ini.writeBool(QStringLiteral("memo"), QStringLiteral("viewListEn"), true);
    ini.writeInteger(QStringLiteral("log"), QStringLiteral("privateMemos"), 42);
    QCOMPARE(readAll(path), QByteArray("; my notes\r\n[form]\r\nLeft=10\r\n\r\n[memo]\r\nviewAscEn=0\r\nother=x\r\n"
                                       "viewListEn=1\r\n\r\n[log]\r\nprivateMemos=42\r\n"));
    // Text that is not a whole number reads as the default.
    ini.writeString(QStringLiteral("memo"), QStringLiteral("viewAscEn"), QStringLiteral("yes"));
    QCOMPARE(ini.readBool(QStringLiteral("memo"), QStringLiteral("viewAscEn"), true), true);
    QCOMPARE(ini.readBool(QStringLiteral("memo"), QStringLiteral("viewAscEn"), false), false);
    QCOMPARE(ini.readInteger(QStringLiteral("log"), QStringLiteral("privateMemos"), 0), 42);
}

void TestApp::iniFileInReadOnlyFolder()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvConf.ini"));
    SettingsFile(path).writeBool(QStringLiteral("memo"), QStringLiteral("viewAscEn"), true);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    try {
        SettingsFile(path).writeBool(QStringLiteral("memo"), QStringLiteral("viewAscEn"), false);
        QFAIL("a write into a read-only folder succeeded");
    } catch (const std::exception &error) {
        QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Unable to write to %1").arg(path));
    }
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(SettingsFile(path).readBool(QStringLiteral("memo"), QStringLiteral("viewAscEn"), false), true);
}

void TestApp::iniFileKeepsForeignLinesByteForByte()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvConf.ini"));
    // A byte-order mark, bytes that are not UTF-8, lone LF line breaks and no break at the end.
    const QByteArray foreign = "\xEF\xBB\xBF; caf\xE9 notes\n[other]\nname=\xFF\xFE bytes\r\n\n[option]\n"
                               "addOpenEn=0\nlatin=\xE9t\xE9";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(foreign);
    file.close();
    const SettingsFile ini(path);
    QCOMPARE(ini.readString(QStringLiteral("other"), QStringLiteral("name")).size(), 8);
    QVERIFY(ini.writeBool(QStringLiteral("option"), QStringLiteral("addOpenEn"), true));
    QVERIFY(ini.writeBool(QStringLiteral("option"), QStringLiteral("runMinimizedEn"), true));
    QVERIFY(ini.writeString(QStringLiteral("log"), QStringLiteral("note"), QStringLiteral("\u00e9t\u00e9")));
    QCOMPARE(readAll(path), QByteArray("\xEF\xBB\xBF; caf\xE9 notes\n[other]\nname=\xFF\xFE bytes\r\n\n[option]\n"
                                       "addOpenEn=1\nlatin=\xE9t\xE9\r\nrunMinimizedEn=1\r\n\r\n[log]\r\n"
                                       "note=\xC3\xA9t\xC3\xA9\r\n"));
}

void TestApp::iniFileOnFullDiskStaysWhole()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvConf.ini"));
    const SettingsFile ini(path);
    for (int i = 0; i < 20; ++i)
        ini.writeInteger(QStringLiteral("keep"), QStringLiteral("key%1").arg(i), i);
    const QByteArray before = readAll(path);
    const QString failure = QStringLiteral("Unable to write to %1").arg(path);
    {
        FileSizeLimit full(64);
        // Every failed write is raised, not only the first of a run.
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                ini.writeBool(QStringLiteral("option"), QStringLiteral("addOpenEn"), true);
                QFAIL("a write on a full disk was reported stored");
            } catch (const std::exception &error) {
                QCOMPARE(QString::fromUtf8(error.what()), failure);
            }
        }
        // One action: its writes go on and fail quietly; the failure is raised once, at the end.
        SettingsAction action;
        QVERIFY(!ini.writeBool(QStringLiteral("option"), QStringLiteral("addOpenEn"), true));
        {
            SettingsAction inner;
            QVERIFY(!ini.writeBool(QStringLiteral("option"), QStringLiteral("runMinimizedEn"), true));
            QCOMPARE(inner.failure(), failure);
        }
        QVERIFY(!ini.writeBool(QStringLiteral("option"), QStringLiteral("runMinimizedEn"), true));
        QCOMPARE(action.failure(), failure);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, action.raiseFailure());
    }
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("kvConf.ini")});

    SettingsAction fine;
    QVERIFY(ini.writeBool(QStringLiteral("option"), QStringLiteral("addOpenEn"), true));
    QVERIFY(!fine.failed());
    fine.raiseFailure();
    QCOMPARE(ini.readInteger(QStringLiteral("keep"), QStringLiteral("key19"), -1), 19);
}

void TestApp::programFolderChoice()
{
    QCOMPARE(resolveProgramFolder(QStringLiteral("/tmp/a")), QStringLiteral("/tmp/a/"));
    QCOMPARE(resolveProgramFolder(QStringLiteral("/tmp/b/")), QStringLiteral("/tmp/b/"));
    qputenv("JOTWELL_DATA_DIR", "/tmp/c");
    QCOMPARE(resolveProgramFolder(QString()), QStringLiteral("/tmp/c/"));
    QCOMPARE(resolveProgramFolder(QStringLiteral("/tmp/a")), QStringLiteral("/tmp/a/"));
    qunsetenv("JOTWELL_DATA_DIR");
    QVERIFY(resolveProgramFolder(QString()).endsWith(QStringLiteral("/korvel-jotwell/")));

    // The executable's folder (bin/ of an installed program) is used only when the database
    // already sits beside it, and then the command line and the environment still come first.
    const QString executableFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    QFile beside(executableFolder + QStringLiteral("kvData.kvb"));
    QVERIFY(!beside.exists());
    QVERIFY(beside.open(QIODevice::WriteOnly));
    beside.close();
    const QString portable = resolveProgramFolder(QString());
    const QString overridden = resolveProgramFolder(QStringLiteral("/tmp/b"));
    qputenv("JOTWELL_DATA_DIR", "/tmp/c");
    const QString fromEnvironment = resolveProgramFolder(QString());
    qunsetenv("JOTWELL_DATA_DIR");
    beside.remove();
    QCOMPARE(portable, executableFolder);
    QCOMPARE(overridden, QStringLiteral("/tmp/b/"));
    QCOMPARE(fromEnvironment, QStringLiteral("/tmp/c/"));
}

void TestApp::secondStartHandsOverAndEnds()
{
    TestFolder folder;
    SingleInstance first(folder.path());
    QVERIFY(first.listen());
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(JOTWELL_BINARY), {QStringLiteral("--data-dir"), folder.path()});
    QVERIFY(second.waitForStarted());
    // The second start waits for the first to answer, so keep this side's events running.
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 10000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(activations.size(), 1);
    // It ended before opening anything.
    QVERIFY(!QFile::exists(folder.file(QStringLiteral("kvData.kvb"))));
}

void TestApp::socketNameDoesNotDependOnTheFolderExisting()
{
    // Reached through a link, as a home on another disk often is; the folder and its parent
    // are made only after the first name was taken.
    TestFolder root;
    QVERIFY(QFile::link(root.path(), root.file(QStringLiteral("link"))));
    const QString fresh = root.file(QStringLiteral("link/new/data/"));
    const QString before = SingleInstance(fresh).serverName();
    QVERIFY(QDir().mkpath(fresh));
    QCOMPARE(SingleInstance(fresh).serverName(), before);
    QCOMPARE(SingleInstance(root.file(QStringLiteral("new/data"))).serverName(), before);
    QVERIFY(SingleInstance(root.file(QStringLiteral("new"))).serverName() != before);
}

void TestApp::socketIsPrivateAndABlockedOneStillStarts()
{
    TestFolder folder, runtime, cache;
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray cacheBefore = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_RUNTIME_DIR", QDir(runtime.path()).absolutePath().toUtf8());
    qputenv("XDG_CACHE_HOME", QDir(cache.path()).absolutePath().toUtf8());
    const QString inRuntime = SingleInstance(folder.path()).serverName();
    qunsetenv("XDG_RUNTIME_DIR");
    SingleInstance instance(folder.path());
    qputenv("XDG_RUNTIME_DIR", runtimeBefore);
    qputenv("XDG_CACHE_HOME", cacheBefore);
    QCOMPARE(QFileInfo(inRuntime).absolutePath(), QDir(runtime.path()).absolutePath());
    // Without a runtime folder: one that only this user may enter.
    const QFileInfo fallback(QFileInfo(instance.serverName()).absolutePath());
    QVERIFY(fallback.absoluteFilePath().startsWith(QDir(cache.path()).absolutePath()));
    QCOMPARE(fallback.permissions() & (QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther), 0);

    // Something that is no socket holds the name: the program starts all the same, and says so.
    QVERIFY(QDir().mkdir(instance.serverName()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot listen on ")));
    QVERIFY(instance.listen());
}

JOTWELL_TEST_MAIN(TestApp)
#include "tst_mainwindow.moc"
