#include "TestSupport.h"
#include "FileSizeLimit.h"
#include "app/AppSettings.h"
#include "app/AutoStart.h"
#include "app/Dlg_About.h"
#include "app/Dlg_Options.h"
#include "app/Dlg_Update.h"
#include "app/Dm_Common.h"
#include "app/Fm_Main.h"
#include "app/KvIniFile.h"
#include "app/KvShell.h"
#include "app/pU_Funcs.h"
#include "app/ProgramFolder.h"
#include "components/KvSaveFile.h"
#include "components/kvHHComp.h"
#include "memos/Fr_kvMemos.h"
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

class RecordingShell : public KvShellHandler {
public:
    RecordingShell() { SetShellHandler(this); }
    ~RecordingShell() override { SetShellHandler(nullptr); }
    bool openUrl(const QUrl &url) override
    {
        opened << url.toString();
        return true;
    }
    QStringList opened;
};

void WriteStamp(const TestFolder &folder, const QString &key, double daysAgo)
{
    KvIniFile(folder.file(QStringLiteral("kvConf.ini")))
        .writeString(kOptionSection, key, DateTimeToIso(DateTimeNow() - daysAgo, true));
}

QString Ini(const TestFolder &folder, const QString &section, const QString &key)
{
    return KvIniFile(folder.file(QStringLiteral("kvConf.ini"))).readString(section, key, QStringLiteral("<none>"));
}

// Counts update prompts while the program starts.
int PromptsAtStart(const TestFolder &folder, ScriptedPrompts &prompts, bool *windowVisible = nullptr)
{
    int shown = 0;
    prompts.onDialog = [&shown](QDialog &dialog) { shown += qobject_cast<TupdateDlg *>(&dialog) ? 1 : 0; };
    StartedProgram program(folder.path());
    QTest::qWait(20); // the prompt is posted after the first show
    if (windowVisible)
        *windowVisible = program.mainFm().isVisible() && !program.mainFm().FRunMinimized;
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
    QTemporaryDir FConfigHome;
};

void TestSettings::initTestCase()
{
    // The autostart entry goes to a folder of the test's own, never the user's.
    qputenv("XDG_CONFIG_HOME", FConfigHome.path().toUtf8());
}

void TestSettings::firstStartWritesStamps()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    QCOMPARE(PromptsAtStart(folder, prompts), 0);
    for (const QString &key : {kFirst, kVisitWeb}) {
        const QString stamp = Ini(folder, kOptionSection, key);
        QVERIFY2(qAbs(IsoToDateTime(stamp) - DateTimeNow()) < 1.0 / 24, qPrintable(stamp));
    }
    QCOMPARE(Ini(folder, QStringLiteral("log"), kRunDays), QStringLiteral("0"));
}

void TestSettings::updatePromptAfterNinetyDays()
{
    ScriptedPrompts prompts;
    {
        TestFolder folder;
        WriteStamp(folder, kVisitWeb, 91);
        KvIniFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(kOptionSection, kRunMinimizedEn, true);
        bool visible = false;
        QCOMPARE(PromptsAtStart(folder, prompts, &visible), 1);
        QVERIFY(visible); // the prompt keeps the window in sight, even when it starts hidden
    }
    {
        TestFolder folder;
        WriteStamp(folder, kVisitWeb, 90 + 23.0 / 24);
        QCOMPARE(PromptsAtStart(folder, prompts), 0);
    }
    {
        TestFolder folder;
        WriteStamp(folder, kVisitWeb, -95); // a date in the future counts the same
        QCOMPARE(PromptsAtStart(folder, prompts), 1);
    }
    {
        TestFolder folder;
        WriteStamp(folder, kVisitWeb, 200);
        KvIniFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(kOptionSection, kVisitWebEn, false);
        QCOMPARE(PromptsAtStart(folder, prompts), 0);
    }
}

void TestSettings::updatePromptAnswers()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    RecordingShell shell;
    StartedProgram program(folder.path());
    TmainFm &mainFm = program.mainFm();

    // Ticking "Do not ask me again." and letting the prompt time out turns it off for good.
    int result = 0;
    TupdateDlg timedOut(mainFm, *mainFm.commonDm());
    QCOMPARE(timedOut.Timer1->interval(), 5000);
    QVERIFY(timedOut.Timer1->isActive());
    QVERIFY(timedOut.btn_Yes->font().bold());
    connect(&timedOut, &QDialog::finished, this, [&result](int code) { result = code; });
    timedOut.cb_ask->click();
    QCOMPARE(Ini(folder, kOptionSection, kVisitWebEn), QStringLiteral("0"));
    timedOut.Timer1Timer(); // what the timer does when its 5 s are up
    QCOMPARE(result, int(IDNO));
    QVERIFY(!mainFm.FVisitWebEnabled);
    QVERIFY(shell.opened.isEmpty());

    // Yes opens the web site and starts the ninety days again.
    WriteStamp(folder, kVisitWeb, 120);
    TupdateDlg answered(mainFm, *mainFm.commonDm());
    connect(&answered, &QDialog::finished, this, [&result](int code) { result = code; });
    answered.btn_Yes->click();
    QCOMPARE(result, int(IDYES));
    QCOMPARE(shell.opened.size(), 1);
    QVERIFY(shell.opened[0].contains(QStringLiteral("index.htm?id=j-w-")));
    QVERIFY(qAbs(IsoToDateTime(Ini(folder, kOptionSection, kVisitWeb)) - DateTimeNow()) < 1.0 / 24);
}

void TestSettings::optionsDialogWritesSettingsAndEntry()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TmainFm &mainFm = program.mainFm();
    QFile::remove(AutoStartFile());

    {
        TOptionsDlg dialog(mainFm);
        QVERIFY(!dialog.cb_AutoStart->isChecked() && !dialog.cb_AutoMinimized->isChecked());
        dialog.cb_AutoStart->setChecked(true);
        dialog.cb_AutoMinimized->setChecked(true);
        dialog.cb_AddOpen->setChecked(true);
        dialog.Btn_Ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QVERIFY(mainFm.FRunMinimized && mainFm.FAddOpen);
    QCOMPARE(Ini(folder, kOptionSection, kRunMinimizedEn), QStringLiteral("1"));
    QCOMPARE(Ini(folder, kOptionSection, kAddOpenEn), QStringLiteral("1"));
    QFile entry(AutoStartFile());
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
        TOptionsDlg dialog(mainFm);
        QVERIFY(dialog.cb_AutoStart->isChecked() && dialog.cb_AddOpen->isChecked());
        dialog.Btn_Ok->click();
    }
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QCOMPARE(entry.readAll(), QByteArray("[Desktop Entry]\nExec=/opt/other/jotwell\n"));
    entry.close();
    {
        TOptionsDlg dialog(mainFm);
        dialog.cb_AutoStart->setChecked(false);
        dialog.cb_AddOpen->setChecked(false);
        dialog.Button2->click(); // Cancel changes nothing
    }
    QVERIFY(QFile::exists(AutoStartFile()) && mainFm.FAddOpen);
    {
        TOptionsDlg dialog(mainFm);
        dialog.cb_AutoStart->setChecked(false);
        dialog.Btn_Ok->click();
    }
    QVERIFY(!QFile::exists(AutoStartFile()));

    // With "Add new item while open", every later show starts a new memo.
    mainFm.hide();
    mainFm.show();
    QTRY_VERIFY(program.frame().FEditNode != nullptr);
}

void TestSettings::webLinksCarryTheQuery()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    RecordingShell shell;
    StartedProgram program(folder.path());
    TmainFm &mainFm = program.mainFm();
    TcommonDm &common = *mainFm.commonDm();
    mainFm.FRunDays = 40;
    mainFm.FPrivateMemos = 57;
    WriteStamp(folder, kVisitWeb, 10);

    common.Action_Website->trigger();
    common.Action_Update->trigger();
    common.Action_Resources->trigger();
    QCOMPARE(shell.opened.size(), 3);
    QVERIFY(shell.opened[0].endsWith(QStringLiteral("/index.htm?id=j-w-40&m=57-0")));
    QCOMPARE(shell.opened[1], shell.opened[0]);
    QVERIFY(shell.opened[2].endsWith(QStringLiteral("/resources.htm?id=j-w-40&m=57-0")));
    QVERIFY(qAbs(IsoToDateTime(Ini(folder, kOptionSection, kVisitWeb)) - DateTimeNow()) < 1.0 / 24);

    // Mail links leave the web visit alone.
    WriteStamp(folder, kVisitWeb, 10);
    const QString before = Ini(folder, kOptionSection, kVisitWeb);
    common.Action_Contact->trigger();
    common.Action_Suggestion->trigger();
    QCOMPARE(shell.opened[3], shell.opened[4]);
    QVERIFY(shell.opened[3].startsWith(QStringLiteral("mailto:")));
    QCOMPARE(Ini(folder, kOptionSection, kVisitWeb), before);
}

void TestSettings::garbledStampStartsNormally()
{
    TestFolder folder;
    KvIniFile(folder.file(QStringLiteral("kvConf.ini"))).writeString(kOptionSection, kFirst, QStringLiteral("yesterday-ish"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    QVERIFY(prompts.shown.isEmpty());
    QVERIFY(qAbs(IsoToDateTime(Ini(folder, kOptionSection, kFirst)) - DateTimeNow()) < 1.0 / 24);
    QVERIFY(Ini(folder, kOptionSection, kVisitWeb) != QStringLiteral("<none>"));
}

void TestSettings::helpAndAboutBox()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    RecordingShell shell;
    StartedProgram program(folder.path());
    TmainFm &mainFm = program.mainFm();
    TcommonDm &common = *mainFm.commonDm();

    QCOMPARE(common.HelpContents1->shortcut(), QKeySequence(Qt::Key_F1));
    common.HelpContents1->trigger();
    QCOMPARE(shell.opened.size(), 1);
    const QString helpFile = QUrl(shell.opened[0]).toLocalFile();
    QFile help(helpFile);
    QVERIFY(help.open(QIODevice::ReadOnly));
    QVERIFY(help.readAll().contains("<title>Korvel Jotwell Help</title>"));
    WriteStamp(folder, kVisitWeb, 30);
    const QString visitBefore = Ini(folder, kOptionSection, kVisitWeb);
    QVERIFY(QDir().mkpath(folder.file(QStringLiteral("Images"))));
    QImage red(65, 65, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(folder.file(QStringLiteral("Images/appIcon.png"))));

    prompts.onDialog = [&](QDialog &dialog) {
        auto *about = qobject_cast<TAboutDlg *>(&dialog);
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QStringLiteral("About..."));
        QCOMPARE(about->Label_AppName->text(), QStringLiteral("Korvel Jotwell"));
        QCOMPARE(about->lbl_version->text(), QStringLiteral("1.7.5.31"));
        QVERIFY(!about->Image_App->pixmap().isNull());
        // The user's picture comes from the same folder as the backgrounds.
        QCOMPARE(about->Image_App->pixmap().toImage().pixelColor(30, 30), QColor(Qt::red));
        QTest::mouseClick(about->lbl_web, Qt::RightButton); // links answer the left button only
        QTest::mouseClick(about->lbl_Sales, Qt::MiddleButton);
        QCOMPARE(shell.opened.size(), 1);
        QTest::mouseClick(about->lbl_support, Qt::LeftButton);
        QCOMPARE(Ini(folder, kOptionSection, kVisitWeb), visitBefore);
        QTest::mouseClick(about->lbl_web, Qt::LeftButton);
    };
    common.Action_About->trigger();
    QCOMPARE(shell.opened.size(), 3);
    QVERIFY(shell.opened[1].startsWith(QStringLiteral("mailto:")));
    QVERIFY(shell.opened[2].contains(QStringLiteral("index.htm?id=j-w-")));
    QVERIFY(Ini(folder, kOptionSection, kVisitWeb) != visitBefore);
}

void TestSettings::optionsThatCannotBeStoredAreNotInForce()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TmainFm &mainFm = program.mainFm();
    QFile::remove(AutoStartFile());
    const QString ini = folder.file(QStringLiteral("kvConf.ini"));
    const auto readIni = [&] {
        QFile file(ini);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = readIni();
    QFile::setPermissions(ini, QFile::ReadOwner);
    const auto okWithEverythingTicked = [&] {
        prompts.onDialog = [](QDialog &dialog) {
            auto *options = qobject_cast<TOptionsDlg *>(&dialog);
            QVERIFY(options);
            QVERIFY(!options->cb_AutoMinimized->isChecked() && !options->cb_AddOpen->isChecked());
            options->cb_AutoStart->setChecked(true);
            options->cb_AutoMinimized->setChecked(true);
            options->cb_AddOpen->setChecked(true);
            options->Btn_Ok->click();
        };
        // Run from the event loop, where an error that ends the command meets the error box.
        QTimer::singleShot(0, mainFm.commonDm()->Action_Options, &QAction::trigger);
        QTest::qWait(50);
        prompts.onDialog = nullptr;
    };

    okWithEverythingTicked();
    QCOMPARE(prompts.shown.size(), 1); // two keys failed, one box
    QCOMPARE(prompts.shown[0].text, QStringLiteral("Unable to write to %1.").arg(ini));
    QVERIFY(!mainFm.FRunMinimized && !mainFm.FAddOpen);
    QCOMPARE(readIni(), before);
    QVERIFY(!QFile::exists(AutoStartFile()));
    // The next OK that fails says so again; the dialog still opens unticked (checked inside).
    okWithEverythingTicked();
    QCOMPARE(prompts.shown.size(), 2);

    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    prompts.onDialog = [](QDialog &dialog) {
        auto *options = qobject_cast<TOptionsDlg *>(&dialog);
        options->cb_AddOpen->setChecked(true);
        options->Btn_Ok->click();
    };
    mainFm.commonDm()->Action_Options->trigger();
    prompts.onDialog = nullptr;
    QCOMPARE(prompts.shown.size(), 2);
    QVERIFY(mainFm.FAddOpen && !mainFm.FRunMinimized);
    QCOMPARE(Ini(folder, kOptionSection, kAddOpenEn), QStringLiteral("1"));
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
        QVERIFY(program.mainFm().isVisible());
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
    TKVHHComp help;
    help.HelpFile = folder.file(QStringLiteral("cache/jotwell-help.html"));
    QDir().mkpath(folder.file(QStringLiteral("cache")));
    QFile old(help.HelpFile);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older page");
    old.close();
    {
        FileSizeLimit full(8);
        try {
            help.ShowContents();
            QFAIL("a help page that could not be written was shown");
        } catch (const std::exception &error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(help.HelpFile), error.what());
        }
    }
    QVERIFY(shell.opened.isEmpty());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("an older page"));
    old.close();
    QCOMPARE(QDir(folder.file(QStringLiteral("cache"))).entryList(QDir::Files).size(), 1);

    QVERIFY(help.ShowContents());
    QCOMPARE(shell.opened.size(), 1);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QVERIFY(old.readAll().contains("<title>Korvel Jotwell Help</title>"));
}

namespace {

// The arguments of an Exec line as a desktop reads them: the string's escapes first, then
// the quoting of each argument.
QStringList ExecArguments(const QString &entry)
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
        } else if (c == QLatin1Char('%') && i + 1 < exec.size() && exec[i + 1] == QLatin1Char('%')) {
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

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

void TestSettings::autostartEntryKeepsTheDataFolder()
{
    TestFolder root;
    const QString odd = root.file(QStringLiteral("my \"memos\" $HOME `x` 100% back\\slash"));
    QFile::remove(AutoStartFile());
    SetAutoStart(true, odd + QLatin1Char('/'));
    QVERIFY(IsAutoStart());
    QCOMPARE(ExecArguments(ReadText(AutoStartFile())),
             (QStringList{QCoreApplication::applicationFilePath(), QStringLiteral("--data-dir"), odd}));

    // The default folder needs no option.
    QFile::remove(AutoStartFile());
    SetAutoStart(true, DefaultProgramFolder());
    QCOMPARE(ExecArguments(ReadText(AutoStartFile())), QStringList{QCoreApplication::applicationFilePath()});

    // An entry the desktop switched off is not ticked; ticking switches it on again.
    for (const char *off : {"Hidden=true", "X-GNOME-Autostart-enabled=false", "X-GNOME-Autostart-enabled = false"}) {
        QVERIFY(WriteWholeFile(AutoStartFile(), "[Desktop Entry]\nExec=jotwell\n" + QByteArray(off) + '\n'));
        QVERIFY2(!IsAutoStart(), off);
        SetAutoStart(true, odd);
        QVERIFY(IsAutoStart());
    }
    // A key of another group does not count.
    QVERIFY(WriteWholeFile(AutoStartFile(), "[Desktop Entry]\nExec=jotwell\n[Desktop Action x]\nHidden=true\n"));
    QVERIFY(IsAutoStart());

    // A write that fails is reported, not taken for done.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    TestFolder blocked;
    QVERIFY(WriteWholeFile(blocked.file(QStringLiteral("autostart")), "a file where the folder should be"));
    qputenv("XDG_CONFIG_HOME", blocked.path().toUtf8());
    QString error;
    try {
        SetAutoStart(true, odd);
    } catch (const std::exception &raised) {
        error = QString::fromUtf8(raised.what());
    }
    qputenv("XDG_CONFIG_HOME", configHome);
    QCOMPARE(error, QStringLiteral("Unable to write to ") + blocked.file(QStringLiteral("autostart/korvel-jotwell.desktop")));
}

void TestSettings::dialogsHaveTheirSizeAndPlace()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TmainFm &mainFm = program.mainFm();
    const QPoint centre = mainFm.screen()->availableGeometry().center();
    TOptionsDlg options(mainFm, &mainFm);
    TupdateDlg update(mainFm, *mainFm.commonDm(), &mainFm);
    for (QDialog *dialog : {static_cast<QDialog *>(&options), static_cast<QDialog *>(&update)}) {
        dialog->show();
        // In the middle, give or take the frame the platform draws around it.
        const QPoint offset = dialog->geometry().center() - centre;
        QVERIFY(qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4);
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    }
    QCOMPARE(options.size(), QSize(285, 198));
    QCOMPARE(update.size(), QSize(577, 181));
    QCOMPARE(options.windowTitle(), QStringLiteral("Options"));
    QCOMPARE(update.windowTitle(), QStringLiteral("Korvel Update"));
}

JOTWELL_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
