// SPDX-License-Identifier: GPL-3.0-or-later
// The program on a real X server syncs through a folder with another data folder that
// jotwell-cli syncs: what the other side adds comes into the list by itself, and what the
// user does to it there goes back.
#include "DesktopSession.h"
#include "TestSupport.h"
#include "core/ProgramFolder.h"
#include "core/SettingsFile.h"
#include "core/SettingsKeys.h"
#include <QtTest>

namespace {

int cli(const QString &folder, const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(JOTWELL_CLI_BINARY), QStringList{QStringLiteral("--data-dir"), folder} + arguments);
    return tool.waitForFinished(20000) ? tool.exitCode() : -1;
}

} // namespace

class SyncE2eTest : public QObject {
    Q_OBJECT
private slots:
    void otherComputersMemoComesAndGoes();
};

void SyncE2eTest::otherComputersMemoComesAndGoes()
{
    DesktopSession desktop;
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder shared, desk, laptop;
    QVERIFY(kSyncFolder.write(SettingsFile(settingsPath(desk.path())), shared.path()));
    desktop.startProgram({QStringLiteral("--data-dir"), desk.path()});
    QTRY_VERIFY_WITH_TIMEOUT(!desktop.viewableWindows(QStringLiteral("Korvel Jotwell")).isEmpty(), 15000);
    const QString window = desktop.viewableWindows(QStringLiteral("Korvel Jotwell")).constFirst();
    desktop.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});

    const auto laptopRound = [&] { return cli(laptop.path(), {QStringLiteral("sync"), QStringLiteral("--folder"), shared.path()}); };
    QCOMPARE(cli(laptop.path(), {QStringLiteral("add"), QStringLiteral("from the laptop")}), 0);
    QCOMPARE(laptopRound(), 0);
    // The program's round follows the folder's change, and the list takes it in: Select All
    // and Delete find it there.
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(desk.path()), QStringList{QStringLiteral("from the laptop")}, 10000);
    QTest::qWait(500);
    desktop.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("150"),
                     QStringLiteral("300"), QStringLiteral("click"), QStringLiteral("1")});
    desktop.pressKeys("ctrl+a");
    desktop.pressKeys("Delete");
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(desk.path()), QStringList(), 10000);
    // The delete goes out with the program's next round.
    QTRY_VERIFY_WITH_TIMEOUT((laptopRound(), storedMemoTexts(laptop.path()).isEmpty()), 10000);
}

JOTWELL_TEST_MAIN(SyncE2eTest)
#include "tst_sync_e2e.moc"
