// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "FileSizeLimit.h"
#include "core/SettingsKeys.h"
#include "desktop/AutoStart.h"
#include "gui/AboutDialog.h"
#include "gui/OptionsDialog.h"
#include "gui/UpdateDialog.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "core/SettingsFile.h"
#include "desktop/DesktopShell.h"
#include "core/IsoTime.h"
#include "core/ProgramFolder.h"
#include "core/SaveFile.h"
#include "desktop/HelpViewer.h"
#include "gui/MemoPane.h"
#include "core/Database.h"
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

void writeStamp(const TestFolder &folder, const SettingKey<QString> &key, double daysAgo)
{
    SettingsFile(folder.file(QStringLiteral("kvConf.ini")))
        .writeString(key.section, key.key, dateTimeToIso(dateTimeNow() - daysAgo, true));
}

QString iniValue(const TestFolder &folder, const QString &section, const QString &key)
{
    return SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).readString(section, key, QStringLiteral("<none>"));
}

// Counts update prompts while the program starts.
int promptsAtStart(const TestFolder &folder, ScriptedPrompts &prompts, bool *windowVisible = nullptr)
{
    int shown = 0;
    prompts.onDialog = [&shown](QDialog &dialog) { shown += qobject_cast<UpdateDialog *>(&dialog) ? 1 : 0; };
    StartedProgram program(folder.path());
    QTest::qWait(20); // the prompt is posted after the first show
    if (windowVisible)
        *windowVisible = program.mainWindow().isVisible() && !program.mainWindow().options().runMinimized;
    prompts.onDialog = nullptr;
    return shown;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void firstStartWritesStamps();
    void updatePromptAfterNinetyDays();
    void updatePromptAnswers();
    void optionsDialogWritesSettingsAndEntry();
    void webLinksCarryTheQuery();
    void garbledStampStartsNormally();
    void helpAndAboutBox();
    void optionsThatCannotBeStoredAreNotInForce();
    void fullDiskAtStartKeepsSettingsWhole();
    void helpPageThatCannotBeWrittenIsReported();
    void autostartEntryKeepsTheDataFolder();
    void dialogsHaveTheirSizeAndPlace();

private:
    QTemporaryDir m_configHome;
    void refreshWritesOnlyChangesAndTellsOnce();
};

void TestSettings::initTestCase()
{
    // The autostart entry goes to a folder of the test's own, never the user's.
    qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
}

void TestSettings::firstStartWritesStamps()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    QCOMPARE(promptsAtStart(folder, prompts), 0);
    for (const SettingKey<QString> &key : {kFirst, kVisitWeb}) {
        const QString stamp = iniValue(folder, key.section, key.key);
        QVERIFY2(qAbs(isoToDateTime(stamp) - dateTimeNow()) < 1.0 / 24, qPrintable(stamp));
    }
    QCOMPARE(iniValue(folder, kRunDays.section, kRunDays.key), QStringLiteral("0"));
}

void TestSettings::updatePromptAfterNinetyDays()
{
    ScriptedPrompts prompts;
    {
        TestFolder folder;
        writeStamp(folder, kVisitWeb, 91);
        SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(kRunMinimizedEn.section, kRunMinimizedEn.key, true);
        bool visible = false;
        QCOMPARE(promptsAtStart(folder, prompts, &visible), 1);
        QVERIFY(visible); // the prompt keeps the window in sight, even when it starts hidden
    }
    {
        TestFolder folder;
        writeStamp(folder, kVisitWeb, 90 + 23.0 / 24);
        QCOMPARE(promptsAtStart(folder, prompts), 0);
    }
    {
        TestFolder folder;
        writeStamp(folder, kVisitWeb, -95); // a date in the future counts the same
        QCOMPARE(promptsAtStart(folder, prompts), 1);
    }
    {
        TestFolder folder;
        writeStamp(folder, kVisitWeb, 200);
        SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(kVisitWebEn.section, kVisitWebEn.key, false);
        QCOMPARE(promptsAtStart(folder, prompts), 0);
    }
}

void TestSettings::updatePromptAnswers()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    RecordingShell shell;
    StartedProgram program(folder.path());
    MainWindow &mainWindow = program.mainWindow();

    // Ticking "Do not ask me again." and letting the prompt time out turns it off for good.
    int result = 0;
    UpdateDialog timedOut(mainWindow, *mainWindow.commonActions());
    QTimer *closeTimer = findNamed<QTimer>(timedOut, "closeTimer");
    QCOMPARE(closeTimer->interval(), 5000);
    QVERIFY(closeTimer->isActive());
    QVERIFY(findNamed<QPushButton>(timedOut, "yes")->font().bold());
    connect(&timedOut, &QDialog::finished, this, [&result](int code) { result = code; });
    findNamed<QCheckBox>(timedOut, "dontAsk")->click();
    QCOMPARE(iniValue(folder, kVisitWebEn.section, kVisitWebEn.key), QStringLiteral("0"));
    closeTimer->start(1); // the 5 s are up
    QTRY_COMPARE(result, int(QDialog::Rejected));
    QVERIFY(!mainWindow.options().visitWebEnabled);
    QVERIFY(shell.opened.isEmpty());

    // Yes opens the web site and starts the ninety days again.
    writeStamp(folder, kVisitWeb, 120);
    UpdateDialog answered(mainWindow, *mainWindow.commonActions());
    connect(&answered, &QDialog::finished, this, [&result](int code) { result = code; });
    findNamed<QPushButton>(answered, "yes")->click();
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(shell.opened.size(), 1);
    QVERIFY(shell.opened[0].contains(QStringLiteral("index.htm?id=j-w-")));
    QVERIFY(qAbs(isoToDateTime(iniValue(folder, kVisitWeb.section, kVisitWeb.key)) - dateTimeNow()) < 1.0 / 24);
}

void TestSettings::optionsDialogWritesSettingsAndEntry()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MainWindow &mainWindow = program.mainWindow();
    QFile::remove(autoStartFile());

    {
        OptionsDialog dialog(mainWindow);
        QVERIFY(!findNamed<QCheckBox>(dialog, "autoStart")->isChecked() && !findNamed<QCheckBox>(dialog, "runMinimized")->isChecked());
        findNamed<QCheckBox>(dialog, "autoStart")->setChecked(true);
        findNamed<QCheckBox>(dialog, "runMinimized")->setChecked(true);
        findNamed<QCheckBox>(dialog, "addOpen")->setChecked(true);
        findNamed<QPushButton>(dialog, "ok")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QVERIFY(mainWindow.options().runMinimized && mainWindow.options().addOpen);
    QCOMPARE(iniValue(folder, kRunMinimizedEn.section, kRunMinimizedEn.key), QStringLiteral("1"));
    QCOMPARE(iniValue(folder, kAddOpenEn.section, kAddOpenEn.key), QStringLiteral("1"));
    QFile entry(autoStartFile());
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    entry.close();
    QVERIFY2(text.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath() + QLatin1Char('"')),
             qPrintable(text));

    // An entry naming another program is left as it is; unticking removes it.
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nExec=/opt/other/jotwell\n");
    entry.close();
    {
        OptionsDialog dialog(mainWindow);
        QVERIFY(findNamed<QCheckBox>(dialog, "autoStart")->isChecked() && findNamed<QCheckBox>(dialog, "addOpen")->isChecked());
        findNamed<QPushButton>(dialog, "ok")->click();
    }
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QCOMPARE(entry.readAll(), QByteArray("[Desktop Entry]\nExec=/opt/other/jotwell\n"));
    entry.close();
    {
        OptionsDialog dialog(mainWindow);
        findNamed<QCheckBox>(dialog, "autoStart")->setChecked(false);
        findNamed<QCheckBox>(dialog, "addOpen")->setChecked(false);
        findNamed<QPushButton>(dialog, "cancel")->click(); // Cancel changes nothing
    }
    QVERIFY(QFile::exists(autoStartFile()) && mainWindow.options().addOpen);
    {
        OptionsDialog dialog(mainWindow);
        findNamed<QCheckBox>(dialog, "autoStart")->setChecked(false);
        findNamed<QPushButton>(dialog, "ok")->click();
    }
    QVERIFY(!QFile::exists(autoStartFile()));

    // Sync is off until a folder is chosen; once chosen, it is kept and the rounds begin,
    // telling of themselves in the status bar.
    TestFolder shared;
    {
        OptionsDialog dialog(mainWindow);
        QVERIFY(findNamed<QLineEdit>(dialog, "syncFolder")->text().isEmpty());
        prompts.fileAnswers << shared.path();
        findNamed<QPushButton>(dialog, "chooseSyncFolder")->click();
        QCOMPARE(prompts.fileRequests.constLast().kind, FileRequest::Kind::Folder);
        findNamed<QPushButton>(dialog, "ok")->click();
    }
    QCOMPARE(iniValue(folder, kSyncFolder.section, kSyncFolder.key), shared.path());
    QTRY_VERIFY(findNamed<QLabel>(program.frame(), "syncStatus")->text().startsWith(QLatin1String("Synced at")));
    {
        OptionsDialog dialog(mainWindow);
        findNamed<QLineEdit>(dialog, "syncFolder")->setText(QStringLiteral("~/memo-sync"));
        findNamed<QPushButton>(dialog, "ok")->click();
    }
    QCOMPARE(iniValue(folder, kSyncFolder.section, kSyncFolder.key), QDir::homePath() + QStringLiteral("/memo-sync"));

    // With "Add new item while open", every later show starts a new memo.
    mainWindow.hide();
    mainWindow.show();
    QTRY_VERIFY(program.frame().controller().editNode() != nullptr);
}

void TestSettings::webLinksCarryTheQuery()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    RecordingShell shell;
    StartedProgram program(folder.path());
    MainWindow &mainWindow = program.mainWindow();
    CommonActions &common = *mainWindow.commonActions();
    mainWindow.usage().runDays = 40;
    mainWindow.usage().privateMemos = 57;
    writeStamp(folder, kVisitWeb, 10);

    findAction(common, "website")->trigger();
    findAction(common, "update")->trigger();
    findAction(common, "resources")->trigger();
    QCOMPARE(shell.opened.size(), 3);
    QVERIFY(shell.opened[0].endsWith(QStringLiteral("/index.htm?id=j-w-40&m=57-0")));
    QCOMPARE(shell.opened[1], shell.opened[0]);
    QVERIFY(shell.opened[2].endsWith(QStringLiteral("/resources.htm?id=j-w-40&m=57-0")));
    QVERIFY(qAbs(isoToDateTime(iniValue(folder, kVisitWeb.section, kVisitWeb.key)) - dateTimeNow()) < 1.0 / 24);

    // Mail links leave the web visit alone.
    writeStamp(folder, kVisitWeb, 10);
    const QString before = iniValue(folder, kVisitWeb.section, kVisitWeb.key);
    findAction(common, "contact")->trigger();
    findAction(common, "suggestion")->trigger();
    QCOMPARE(shell.opened[3], shell.opened[4]);
    QVERIFY(shell.opened[3].startsWith(QStringLiteral("mailto:")));
    QCOMPARE(iniValue(folder, kVisitWeb.section, kVisitWeb.key), before);
}

void TestSettings::garbledStampStartsNormally()
{
    TestFolder folder;
    SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).writeString(kFirst.section, kFirst.key, QStringLiteral("yesterday-ish"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    QVERIFY(prompts.shown.isEmpty());
    QVERIFY(qAbs(isoToDateTime(iniValue(folder, kFirst.section, kFirst.key)) - dateTimeNow()) < 1.0 / 24);
    QVERIFY(iniValue(folder, kVisitWeb.section, kVisitWeb.key) != QStringLiteral("<none>"));
}

void TestSettings::helpAndAboutBox()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    RecordingShell shell;
    StartedProgram program(folder.path());
    MainWindow &mainWindow = program.mainWindow();
    CommonActions &common = *mainWindow.commonActions();

    QCOMPARE(findAction(common, "help")->shortcut(), QKeySequence(Qt::Key_F1));
    findAction(common, "help")->trigger();
    QCOMPARE(shell.opened.size(), 1);
    const QString helpFile = QUrl(shell.opened[0]).toLocalFile();
    QFile help(helpFile);
    QVERIFY(help.open(QIODevice::ReadOnly));
    QVERIFY(help.readAll().contains("<title>Korvel Jotwell Help</title>"));
    writeStamp(folder, kVisitWeb, 30);
    const QString visitBefore = iniValue(folder, kVisitWeb.section, kVisitWeb.key);
    QVERIFY(QDir().mkpath(folder.file(QStringLiteral("Images"))));
    QImage red(65, 65, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(folder.file(QStringLiteral("Images/appIcon.png"))));

    prompts.onDialog = [&](QDialog &dialog) {
        auto *about = qobject_cast<AboutDialog *>(&dialog);
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QStringLiteral("About..."));
        QCOMPARE(findNamed<QLabel>(*about, "appName")->text(), QStringLiteral("Korvel Jotwell"));
        QCOMPARE(findNamed<QLabel>(*about, "version")->text(), QStringLiteral("1.7.5.31"));
        QVERIFY(!findNamed<QLabel>(*about, "appImage")->pixmap().isNull());
        // The user's picture comes from the same folder as the backgrounds.
        QCOMPARE(findNamed<QLabel>(*about, "appImage")->pixmap().toImage().pixelColor(30, 30), QColor(Qt::red));
        QTest::mouseClick(findNamed<QLabel>(*about, "webLink"), Qt::RightButton); // links answer the left button only
        QTest::mouseClick(findNamed<QLabel>(*about, "salesLink"), Qt::MiddleButton);
        QCOMPARE(shell.opened.size(), 1);
        QTest::mouseClick(findNamed<QLabel>(*about, "supportLink"), Qt::LeftButton);
        QCOMPARE(iniValue(folder, kVisitWeb.section, kVisitWeb.key), visitBefore);
        QTest::mouseClick(findNamed<QLabel>(*about, "webLink"), Qt::LeftButton);
    };
    findAction(common, "about")->trigger();
    QCOMPARE(shell.opened.size(), 3);
    QVERIFY(shell.opened[1].startsWith(QStringLiteral("mailto:")));
    QVERIFY(shell.opened[2].contains(QStringLiteral("index.htm?id=j-w-")));
    QVERIFY(iniValue(folder, kVisitWeb.section, kVisitWeb.key) != visitBefore);
}

void TestSettings::optionsThatCannotBeStoredAreNotInForce()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MainWindow &mainWindow = program.mainWindow();
    QFile::remove(autoStartFile());
    const QString ini = folder.file(QStringLiteral("kvConf.ini"));
    const auto readIni = [&] {
        QFile file(ini);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = readIni();
    QFile::setPermissions(ini, QFile::ReadOwner);
    const auto okWithEverythingTicked = [&] {
        prompts.onDialog = [](QDialog &dialog) {
            auto *options = qobject_cast<OptionsDialog *>(&dialog);
            QVERIFY(options);
            QVERIFY(!findNamed<QCheckBox>(*options, "runMinimized")->isChecked() && !findNamed<QCheckBox>(*options, "addOpen")->isChecked());
            findNamed<QCheckBox>(*options, "autoStart")->setChecked(true);
            findNamed<QCheckBox>(*options, "runMinimized")->setChecked(true);
            findNamed<QCheckBox>(*options, "addOpen")->setChecked(true);
            findNamed<QPushButton>(*options, "ok")->click();
        };
        // Run from the event loop, where an error that ends the command meets the error box.
        QTimer::singleShot(0, findAction(*mainWindow.commonActions(), "options"), &QAction::trigger);
        QTest::qWait(50);
        prompts.onDialog = nullptr;
    };

    okWithEverythingTicked();
    QCOMPARE(prompts.shown.size(), 1); // two keys failed, one box
    QCOMPARE(prompts.shown[0].text, QStringLiteral("Unable to write to %1.").arg(ini));
    QVERIFY(!mainWindow.options().runMinimized && !mainWindow.options().addOpen);
    QCOMPARE(readIni(), before);
    QVERIFY(!QFile::exists(autoStartFile()));
    // The next OK that fails says so again; the dialog still opens unticked (checked inside).
    okWithEverythingTicked();
    QCOMPARE(prompts.shown.size(), 2);

    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    prompts.onDialog = [](QDialog &dialog) {
        auto *options = qobject_cast<OptionsDialog *>(&dialog);
        findNamed<QCheckBox>(*options, "addOpen")->setChecked(true);
        findNamed<QPushButton>(*options, "ok")->click();
    };
    findAction(*mainWindow.commonActions(), "options")->trigger();
    prompts.onDialog = nullptr;
    QCOMPARE(prompts.shown.size(), 2);
    QVERIFY(mainWindow.options().addOpen && !mainWindow.options().runMinimized);
    QCOMPARE(iniValue(folder, kAddOpenEn.section, kAddOpenEn.key), QStringLiteral("1"));
}

void TestSettings::fullDiskAtStartKeepsSettingsWhole()
{
    TestFolder folder;
    const QString ini = folder.file(QStringLiteral("kvConf.ini"));
    {
        ScriptedPrompts prompts;
        StartedProgram program(folder.path());
    }
    QFile file(ini);
    QVERIFY(file.open(QIODevice::Append));
    file.write("\r\n[mine]\r\nnote=kept whole, every byte of it\r\n");
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    ScriptedPrompts prompts;
    {
        FileSizeLimit full(64);
        StartedProgram program(folder.path());
        QVERIFY(program.mainWindow().isVisible());
    }
    QVERIFY(!prompts.shown.isEmpty());
    for (const ScriptedPrompts::Box &box : prompts.shown)
        QVERIFY2(box.text.startsWith(QStringLiteral("Unable to write to %1").arg(ini)), qPrintable(box.text));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestSettings::helpPageThatCannotBeWrittenIsReported()
{
    TestFolder folder;
    RecordingShell shell;
    HelpViewer help;
    help.helpFile = folder.file(QStringLiteral("cache/jotwell-help.html"));
    QDir().mkpath(folder.file(QStringLiteral("cache")));
    QFile old(help.helpFile);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older page");
    old.close();
    {
        FileSizeLimit full(8);
        try {
            help.showContents();
            QFAIL("a help page that could not be written was shown");
        } catch (const std::exception &error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(help.helpFile), error.what());
        }
    }
    QVERIFY(shell.opened.isEmpty());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("an older page"));
    old.close();
    QCOMPARE(QDir(folder.file(QStringLiteral("cache"))).entryList(QDir::Files).size(), 1);

    QVERIFY(help.showContents());
    QCOMPARE(shell.opened.size(), 1);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QVERIFY(old.readAll().contains("<title>Korvel Jotwell Help</title>"));
}

namespace {

// The arguments of an Exec line as a desktop reads them: the string's escapes first, then
// the quoting of each argument.
QStringList execArguments(const QString &entry)
{
    QString exec;
    const qsizetype start = entry.indexOf(QStringLiteral("\nExec=")) + 6;
    for (qsizetype i = start; i < entry.size() && entry[i] != QLatin1Char('\n'); ++i) {
        if (entry[i] == QLatin1Char('\\') && i + 1 < entry.size()) {
            const QChar next = entry[++i];
            exec += next == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : next == QLatin1Char('t') ? QChar(QLatin1Char('\t')) : next;
        } else {
            exec += entry[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted && c == QLatin1Char('\\') && i + 1 < exec.size()) {
            current += exec[++i];
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c == QLatin1Char('%')) {
            // "%%" is a percent sign; a lone one starts a field code that launchers replace.
            if (i + 1 >= exec.size() || exec[i + 1] != QLatin1Char('%'))
                return {QStringLiteral("<field code>")};
            current += exec[++i];
        } else if (c == QLatin1Char(' ') && !quoted) {
            if (any || !current.isEmpty())
                arguments << current;
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (any || !current.isEmpty())
        arguments << current;
    return arguments;
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

void TestSettings::autostartEntryKeepsTheDataFolder()
{
    TestFolder root;
    const QString odd = root.file(QStringLiteral("my \"memos\" $HOME `x` 100% back\\slash"));
    QFile::remove(autoStartFile());
    setAutoStart(true, odd + QLatin1Char('/'));
    QVERIFY(isAutoStart());
    QCOMPARE(execArguments(readText(autoStartFile())),
             (QStringList{QCoreApplication::applicationFilePath(), QStringLiteral("--data-dir"), odd}));

    // The default folder needs no option.
    QFile::remove(autoStartFile());
    setAutoStart(true, defaultProgramFolder());
    QCOMPARE(execArguments(readText(autoStartFile())), QStringList{QCoreApplication::applicationFilePath()});

    // An entry the desktop switched off is not ticked; ticking switches it on again.
    for (const char *off : {"Hidden=true", "X-GNOME-Autostart-enabled=false", "X-GNOME-Autostart-enabled = false"}) {
        QVERIFY(writeWholeFile(autoStartFile(), "[Desktop Entry]\nExec=jotwell\n" + QByteArray(off) + '\n'));
        QVERIFY2(!isAutoStart(), off);
        setAutoStart(true, odd);
        QVERIFY(isAutoStart());
    }
    // A key of another group does not count.
    QVERIFY(writeWholeFile(autoStartFile(), "[Desktop Entry]\nExec=jotwell\n[Desktop Action x]\nHidden=true\n"));
    QVERIFY(isAutoStart());

    // The entry is named after the desktop file id; one under the old name is taken over when
    // it starts this program (quoted or, as older versions wrote it, not), keeping its folder
    // and its state, and dropped where the new one is there. Another program's is left alone.
    QCOMPARE(QFileInfo(autoStartFile()).fileName(), QStringLiteral("org.korvel.Jotwell.desktop"));
    const QString oldEntry = QFileInfo(autoStartFile()).absolutePath() + QStringLiteral("/korvel-jotwell.desktop");
    const QByteArray self = QCoreApplication::applicationFilePath().toUtf8();
    const QByteArray ours = "[Desktop Entry]\nExec=\"" + self + "\" --data-dir /x\nHidden=true\n";
    QFile::remove(autoStartFile());
    QVERIFY(writeWholeFile(oldEntry, ours));
    adoptOldAutoStartEntry();
    QVERIFY(!QFile::exists(oldEntry) && !isAutoStart());
    QCOMPARE(readText(autoStartFile()).toUtf8(), ours);
    QVERIFY(writeWholeFile(oldEntry, "[Desktop Entry]\nExec=" + self + "\n"));
    adoptOldAutoStartEntry();
    QVERIFY(!QFile::exists(oldEntry));
    QCOMPARE(readText(autoStartFile()).toUtf8(), ours);
    for (const QByteArray &other : {QByteArray("[Desktop Entry]\nExec=other-program\n"), "[Desktop Entry]\nExec=" + self + "x\n"}) {
        QVERIFY(writeWholeFile(oldEntry, other));
        adoptOldAutoStartEntry();
        QCOMPARE(readText(oldEntry).toUtf8(), other);
    }
    QFile::remove(oldEntry);

    // A write that fails is reported, not taken for done.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    TestFolder blocked;
    QVERIFY(writeWholeFile(blocked.file(QStringLiteral("autostart")), "a file where the folder should be"));
    qputenv("XDG_CONFIG_HOME", blocked.path().toUtf8());
    QString error;
    try {
        setAutoStart(true, odd);
    } catch (const std::exception &raised) {
        error = QString::fromUtf8(raised.what());
    }
    qputenv("XDG_CONFIG_HOME", configHome);
    QCOMPARE(error, QStringLiteral("Unable to write to ") + blocked.file(QStringLiteral("autostart/org.korvel.Jotwell.desktop")));
}

void TestSettings::dialogsHaveTheirSizeAndPlace()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MainWindow &mainWindow = program.mainWindow();
    const QPoint centre = mainWindow.screen()->availableGeometry().center();
    OptionsDialog options(mainWindow, &mainWindow);
    UpdateDialog update(mainWindow, *mainWindow.commonActions(), &mainWindow);
    for (QDialog *dialog : {static_cast<QDialog *>(&options), static_cast<QDialog *>(&update)}) {
        dialog->show();
        // In the middle, give or take the frame the platform draws around it.
        const QPoint offset = dialog->geometry().center() - centre;
        QVERIFY(qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4);
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    }
    QCOMPARE(options.size(), QSize(340, 272));
    QCOMPARE(update.size(), QSize(577, 181));
    QCOMPARE(options.windowTitle(), QStringLiteral("Options"));
    QCOMPARE(update.windowTitle(), QStringLiteral("Korvel Update"));
}

// Every outside change loads the list again: the usage figures are written only when they
// changed, and a settings file that cannot take them is told once in the session.
void TestSettings::refreshWritesOnlyChangesAndTellsOnce()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    const QString ini = folder.file(QStringLiteral("kvConf.ini"));
    QFile::setPermissions(ini, QFile::ReadOwner);
    const qsizetype boxes = prompts.shown.size();
    frame.reloadMemos();
    QCOMPARE(prompts.shown.size(), boxes);
    Database other;
    other.open(folder.file(QStringLiteral("kvData.kvb")));
    for (int i = 0; i < 3; ++i) {
        insertMemoRow(other, QStringLiteral("{%1}").arg(i), QStringLiteral("root"), QStringLiteral("outside"));
        frame.reloadMemos();
    }
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(prompts.shown.size(), boxes + 1);
    QCOMPARE(prompts.shown.last().text, QStringLiteral("Unable to write to %1.").arg(ini));
    QCOMPARE(program.mainWindow().usage().privateMemos, 3);
}

JOTWELL_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
