// SPDX-License-Identifier: GPL-3.0-or-later
// Keys written into sections that hold nothing yet, whatever case their names were written in.
#include "core/SaveFile.h"
#include "core/SettingsFile.h"
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void emptySectionTakesTheNewKey_data();
    void emptySectionTakesTheNewKey();
};

void TestSettingsFile::emptySectionTakesTheNewKey_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("before another section")
        << QByteArray("[memo]\r\n[other]\r\nwidth=5\r\n") << QByteArray("[memo]\r\nheight=42\r\n[other]\r\nwidth=5\r\n");
    QTest::newRow("blank line under it")
        << QByteArray("[memo]\r\n\r\n[other]\r\nwidth=5\r\n")
        << QByteArray("[memo]\r\nheight=42\r\n\r\n[other]\r\nwidth=5\r\n");
    QTest::newRow("last line, no line break")
        << QByteArray("[other]\r\nwidth=5\r\n[memo]") << QByteArray("[other]\r\nwidth=5\r\n[memo]\r\nheight=42\r\n");
    QTest::newRow("only line, LF breaks") << QByteArray("[memo]\n") << QByteArray("[memo]\nheight=42\r\n");
    QTest::newRow("name written by hand in other case")
        << QByteArray("[Memo]\r\n[other]\r\nwidth=5\r\n") << QByteArray("[Memo]\r\nheight=42\r\n[other]\r\nwidth=5\r\n");
}

void TestSettingsFile::emptySectionTakesTheNewKey()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.ini"));
    QVERIFY(writeWholeFile(path, before));
    const SettingsFile settings(path);
    QVERIFY(settings.writeInteger(QStringLiteral("memo"), QStringLiteral("height"), 42));
    QCOMPARE(fileBytes(path), after);
    QCOMPARE(settings.readInteger(QStringLiteral("memo"), QStringLiteral("height"), 0), 42);
    QCOMPARE(settings.readInteger(QStringLiteral("other"), QStringLiteral("height"), 0), 0);
    QCOMPARE(settings.readInteger(QStringLiteral("other"), QStringLiteral("width"), 0), before.contains("width") ? 5 : 0);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
