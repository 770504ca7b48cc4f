// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreTestSupport.h"
#include "core/VersionBlock.h"
#include "core/VersionInfo.h"
#include <QFile>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList allValues(const VersionInfo &info)
{
    QStringList values;
    for (int i = 0; i < VersionInfo::kFieldCount; ++i)
        values << info.value(VersionField(i));
    return values;
}

QByteArray block(const QString &translation, const QString &fileVersion)
{
    return VersionBlock::encode({{QStringLiteral("\\VarFileInfo\\Translation"), translation},
                                   {QStringLiteral("\\StringFileInfo\\040904E4\\FileVersion"), fileVersion}});
}

} // namespace

class TestVersionInfo : public QObject {
    Q_OBJECT
private slots:
    void programsOwnBlock();
    void otherFiles();
};

void TestVersionInfo::programsOwnBlock()
{
    // This test program carries the block as the program does.
    VersionInfo own;
    QCOMPARE(own.filePath(), QCoreApplication::applicationFilePath());
    VersionInfo program;
    program.setFilePath(QStringLiteral(JOTWELL_BINARY));
    for (const VersionInfo *info : {&own, &program}) {
        const QStringList values = allValues(*info);
        QCOMPARE(values[1], QStringLiteral("Korvel Jotwell"));
        QCOMPARE(values[2], QStringLiteral("1.7.5.31"));
        QCOMPARE(values[8], QStringLiteral("1.7"));
        QVERIFY(!values[0].isEmpty());
        for (int i : {3, 4, 5, 6, 7, 9})
            QCOMPARE(values[i], QString());
    }
}

void TestVersionInfo::otherFiles()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("tool.bin"));
    VersionInfo info;

    // No block: a marker line followed by something that is not a block, a missing file.
    writeFile(path, "bytes\n[KvVersionBlock]\nno equals sign\n[/KvVersionBlock]\n[KvVersionBlock]\nA=1\n");
    for (const QString &file : {path, folder.file(QStringLiteral("missing.exe"))}) {
        info.setFilePath(file);
        QCOMPARE(allValues(info), QStringList(10, QStringLiteral("Value Not Available")));
    }

    // A decoy marker is passed over; the first translation names the table, in either case.
    writeFile(path, QByteArray("[KvVersionBlock]\0", 17) + block(QStringLiteral("040904e4 040704B0"), QStringLiteral("2.0")));
    info.setFilePath(path);
    QCOMPARE(info.fileVersion(), QStringLiteral("2.0"));
    QCOMPARE(info.value(VersionField::FileDescription), QString());

    // The same path again is not read again.
    writeFile(path, block(QStringLiteral("040904E4"), QStringLiteral("9.9")));
    info.setFilePath(path);
    QCOMPARE(info.fileVersion(), QStringLiteral("2.0"));
    info.readInfo();
    QCOMPARE(info.fileVersion(), QStringLiteral("9.9"));

    // Without a translation no table is found: every value is empty.
    writeFile(path, VersionBlock::encode({{QStringLiteral("\\StringFileInfo\\040904E4\\FileVersion"), QStringLiteral("3")}}));
    info.readInfo();
    QCOMPARE(allValues(info), QStringList(10, QString()));
}

QTEST_GUILESS_MAIN(TestVersionInfo)
#include "tst_versioninfo.moc"
