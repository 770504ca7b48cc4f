// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Application.h"
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString output; // standard output and error together
};

Run run(const QString &program, const QStringList &arguments,
        const QByteArray &input = {},
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    Run result;
    if (!process.waitForFinished(120000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The keys of a desktop entry's main group.
QMap<QString, QString> desktopKeys(const QString &path)
{
    QMap<QString, QString> keys;
    for (const QString &line : readText(path).split(QLatin1Char('\n'))) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && !line.startsWith(QLatin1Char('#')))
            keys.insert(line.left(equals), line.mid(equals + 1));
    }
    return keys;
}

// Manual pages are installed compressed.
QString readGzipped(const QString &path)
{
    return run(QStringLiteral("gzip"), {QStringLiteral("-dc"), path}).output;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void installsProgramAndDesktopFiles();
    void desktopEntryMatchesTheWindow();
    void filesPassTheirValidators();
    void programAnswersWithoutADisplay();
    void completionLoadsInBash();

private:
    QTemporaryDir m_prefix;
    QString file(const QString &relative) const { return m_prefix.filePath(relative); }
    QString desktopFile() const { return file(QStringLiteral("share/applications/%1.desktop").arg(kDesktopFileId)); }
    QString metainfoFile() const { return file(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kDesktopFileId)); }
};

void TestInstall::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    const Run install = run(QStringLiteral(JOTWELL_CMAKE),
                            {QStringLiteral("--install"), QStringLiteral(JOTWELL_BUILD_DIR), QStringLiteral("--prefix"),
                             m_prefix.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
}

void TestInstall::installsProgramAndDesktopFiles()
{
    for (const char *binary : {"bin/jotwell", "bin/jotwell-cli"}) {
        const QFileInfo program(file(QLatin1String(binary)));
        QVERIFY2(program.isFile() && program.isExecutable(), binary);
    }
    QVERIFY(QFileInfo(desktopFile()).isFile());
    QVERIFY(QFileInfo(metainfoFile()).isFile());

    // The icon is the program's own picture under the desktop entry's id.
    QFile icon(file(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kDesktopFileId)));
    QFile builtIn(QStringLiteral(":/images/app.svg"));
    QVERIFY(icon.open(QIODevice::ReadOnly) && builtIn.open(QIODevice::ReadOnly));
    QCOMPARE(icon.readAll(), builtIn.readAll());

    const QString manual = readGzipped(file(QStringLiteral("share/man/man1/jotwell.1.gz")));
    QVERIFY(manual.startsWith(QStringLiteral(".TH JOTWELL 1")));
    for (const char *topic : {"data\\-dir", "JOTWELL_DATA_DIR", "kvData.kvb", "kvConf.ini", "Images/"})
        QVERIFY2(manual.contains(QLatin1String(topic)), topic);
    const QString cliManual = readGzipped(file(QStringLiteral("share/man/man1/jotwell-cli.1.gz")));
    QVERIFY(cliManual.startsWith(QStringLiteral(".TH JOTWELL\\-CLI 1")));
    for (const char *topic : {"\\fBadd\\fR", "\\fBlist\\fR", "\\fBbackup\\fR", "\\fBrestore\\fR", "\\fBimport\\fR",
                              "\\fBexport\\fR", "\\fBreport\\fR", "\\fBcheck\\fR", "JOTWELL_DATA_DIR", "EXIT STATUS"})
        QVERIFY2(cliManual.contains(QLatin1String(topic)), topic);

    const QString copyright = readText(file(QStringLiteral("share/doc/korvel-jotwell/copyright")));
    QVERIFY(copyright.contains(QStringLiteral("License: GPL-3+")));
    QVERIFY(QFileInfo(file(QStringLiteral("share/korvel-jotwell/translations/jotwell_de.qm"))).isFile());

    // Only what the program needs: no test programs, no benchmark.
    QDirIterator everything(m_prefix.path(), QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    for (; everything.hasNext(); everything.next())
        ++count;
    QCOMPARE(count, 11);
}

void TestInstall::desktopEntryMatchesTheWindow()
{
    const QMap<QString, QString> keys = desktopKeys(desktopFile());
    QCOMPARE(keys.value(QStringLiteral("Name")), kApplicationTitle);
    QCOMPARE(keys.value(QStringLiteral("Exec")), QStringLiteral("jotwell"));
    QCOMPARE(keys.value(QStringLiteral("Icon")), kDesktopFileId);
    // Docks group a window with the entry whose StartupWMClass is the window's class, which
    // Qt takes from the application name.
    QCOMPARE(keys.value(QStringLiteral("StartupWMClass")), kApplicationTitle);
    QCOMPARE(keys.value(QStringLiteral("SingleMainWindow")), QStringLiteral("true"));
    for (const char *key : {"Comment", "Categories", "Keywords"})
        QVERIFY2(!keys.value(QLatin1String(key)).isEmpty(), key);

    const QString metainfo = readText(metainfoFile());
    QVERIFY(metainfo.contains(QStringLiteral("<id>%1</id>").arg(kDesktopFileId)));
    QVERIFY(metainfo.contains(
        QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(kDesktopFileId)));
    QVERIFY(metainfo.contains(QStringLiteral("<binary>jotwell</binary>")));
    QVERIFY(metainfo.contains(QStringLiteral("<binary>jotwell-cli</binary>")));
}

void TestInstall::filesPassTheirValidators()
{
    const QString desktopValidator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (desktopValidator.isEmpty() || appstream.isEmpty())
        QSKIP("desktop-file-validate or appstreamcli is missing (scripts/setup.sh installs them)");

    const Run desktop = run(desktopValidator, {desktopFile()});
    // Validators older than the 1.5 format (Debian 12's) do not know SingleMainWindow yet and
    // call it an error; anything else is one.
    QStringList errors;
    for (const QString &line : desktop.output.split(QLatin1Char('\n'))) {
        if (line.contains(QStringLiteral("error:")) && !line.contains(QStringLiteral("\"SingleMainWindow\"")))
            errors << line;
    }
    QVERIFY2(errors.isEmpty(), qPrintable(desktop.output));

    const Run metainfo = run(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfoFile()});
    QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.output));

    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    for (const char *page : {"share/man/man1/jotwell.1.gz", "share/man/man1/jotwell-cli.1.gz"}) {
        if (groff.isEmpty())
            break;
        const Run manual = run(groff, {QStringLiteral("-man"), QStringLiteral("-Tutf8"), QStringLiteral("-ww"),
                                       QStringLiteral("-z")},
                               readGzipped(file(QLatin1String(page))).toUtf8());
        QVERIFY2(manual.exitCode == 0 && manual.output.isEmpty(), qPrintable(page + manual.output));
    }
}

void TestInstall::programAnswersWithoutADisplay()
{
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        noDisplay.remove(QLatin1String(name));
    const QString program = file(QStringLiteral("bin/jotwell"));
    const Run help = run(program, {QStringLiteral("--help")}, {}, noDisplay);
    QCOMPARE(help.exitCode, 0);
    QVERIFY2(help.output.contains(QStringLiteral("--data-dir <DIR>")), qPrintable(help.output));
    const Run version = run(program, {QStringLiteral("--version")}, {}, noDisplay);
    QCOMPARE(version.exitCode, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^jotwell \\d+\\.\\d+\\.\\d+\\.\\d+\n$")).match(version.output).hasMatch(),
             qPrintable(version.output));
    for (const QStringList &wrong : {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("--data-dir=")},
                                     QStringList{QStringLiteral("stray")}}) {
        const Run refused = run(program, wrong, {}, noDisplay);
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.output.startsWith(QStringLiteral("jotwell: "))
                     && refused.output.endsWith(QStringLiteral("\nUsage: jotwell [--data-dir DIR]\n")),
                 qPrintable(refused.output));
    }
}

void TestInstall::completionLoadsInBash()
{
    const QString library = QStringLiteral("/usr/share/bash-completion/bash_completion");
    if (!QFileInfo::exists(library))
        QSKIP("bash-completion is missing (scripts/setup.sh installs it)");
    QTemporaryDir work;
    for (const char *name : {"a.kvx", "b.txt", "c.html", "d.pdf"}) {
        QFile touched(work.filePath(QLatin1String(name)));
        QVERIFY(touched.open(QIODevice::WriteOnly));
    }
    // Each line completes the last word of a command line, as bash does at a Tab.
    const QString script = QStringLiteral(
        "cd '%1' && source '%2' && source '%3' || exit 1\n"
        "try() { COMP_WORDS=(\"$@\"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE=\"$*\";"
        " COMP_POINT=${#COMP_LINE}; COMPREPLY=(); _jotwell_cli; echo \"${COMPREPLY[*]}\"; }\n"
        "try jotwell-cli re\n"
        "try jotwell-cli --data-dir /tmp mo\n"
        "try jotwell-cli restore x.kvx --replace ''\n"
        "try jotwell-cli list --\n"
        "try jotwell-cli backup ''\n"
        "try jotwell-cli report ''\n"
        "complete -p jotwell-cli\n")
        .arg(work.path(), library, file(QStringLiteral("share/bash-completion/completions/jotwell-cli")));
    const Run completed = run(QStringLiteral("bash"), {QStringLiteral("-c"), script});
    QCOMPARE(completed.exitCode, 0);
    QCOMPARE(completed.output.split(QLatin1Char('\n')),
             (QStringList{QStringLiteral("restore report"), QStringLiteral("move"), QStringLiteral("all none ask"),
                          QStringLiteral("--search --wide --ids --json"), QStringLiteral("a.kvx"),
                          QStringLiteral("b.txt c.html"), QStringLiteral("complete -F _jotwell_cli jotwell-cli"),
                          QString()}));
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
