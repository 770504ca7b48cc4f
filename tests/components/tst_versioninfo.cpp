#include "TestSupport.h"
#include "components/KvVersionBlock.h"
#include "components/KvVersionInfo.h"
#include <QFile>
#include <QtTest>
#include <stdexcept>

namespace {

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList AllValues(const TKvVersionInfo &info)
{
    QStringList values;
    for (int i = 0; i < 10; ++i)
        values << info.GetValue(i);
    return values;
}

QList<std::pair<QString, QString>> Block(const QString &translation, const QString &fileVersion)
{
    return {{QStringLiteral("\\VarFileInfo\\Translation"), translation},
            {QStringLiteral("\\StringFileInfo\\040904E4\\FileVersion"), fileVersion},
            {QStringLiteral("\\StringFileInfo\\040904E4\\Comments"), QStringLiteral("a=b")}};
}

} // namespace

class TestVersionInfo : public QObject {
    Q_OBJECT
private slots:
    void programsOwnBlock();
    void filesWithoutBlock();
    void blockLookups();
    void samePathIsNotReadAgain();
    void indexOutOfRange();
};

void TestVersionInfo::programsOwnBlock()
{
    // This test program carries the block as the program does; the program itself too.
    TKvVersionInfo own;
    QCOMPARE(own.FilePath(), QCoreApplication::applicationFilePath());
    TKvVersionInfo program;
    program.SetFilePath(QStringLiteral(JOTWELL_BINARY));
    for (const TKvVersionInfo *info : {&own, &program}) {
        const QStringList values = AllValues(*info);
        QCOMPARE(values[1], QStringLiteral("Korvel Jotwell"));
        QCOMPARE(values[2], QStringLiteral("1.7.5.31"));
        QCOMPARE(values[8], QStringLiteral("1.7"));
        QVERIFY(!values[0].isEmpty());
        for (int i : {3, 4, 5, 6, 7, 9})
            QCOMPARE(values[i], QString());
    }
}

void TestVersionInfo::filesWithoutBlock()
{
    TestFolder folder;
    const QString plain = folder.file(QStringLiteral("plain.bin"));
    // A marker line alone, or followed by something that is not a block, is no block.
    WriteFile(plain, QByteArray("some bytes\n[KvVersionBlock]\nno equals sign\n[/KvVersionBlock]\n") +
                         QByteArray("[KvVersionBlock]\nFileVersion=1\n"));
    TKvVersionInfo info;
    for (const QString &path : {plain, folder.file(QStringLiteral("missing.exe")), folder.path()}) {
        info.SetFilePath(path);
        QCOMPARE(AllValues(info), QStringList(10, QStringLiteral("Value Not Available")));
    }
    WriteFile(plain, QByteArray());
    info.SetFilePath(QString());
    info.SetFilePath(plain);
    QCOMPARE(info.GetValue(2), QStringLiteral("Value Not Available"));
}

void TestVersionInfo::blockLookups()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("tool.bin"));
    TKvVersionInfo info;

    // A decoy marker before the real block is passed over; the table is named by the first
    // translation entry, whatever the case of its digits.
    WriteFile(path, QByteArray("junk [KvVersionBlock]\0 more", 28) + KvVersionBlock::Encode(Block(QStringLiteral("040904e4 040704B0"), QStringLiteral("2.0"))));
    info.SetFilePath(path);
    QCOMPARE(info.GetValue(2), QStringLiteral("2.0"));
    QCOMPARE(info.GetValue(9), QStringLiteral("a=b"));
    QCOMPARE(info.GetValue(1), QString()); // not in the table

    // Without a translation no table is found: every value is empty.
    const QString other = folder.file(QStringLiteral("other.bin"));
    WriteFile(other, KvVersionBlock::Encode({{QStringLiteral("\\StringFileInfo\\040904E4\\FileVersion"),
                                              QStringLiteral("3.0")}}));
    info.SetFilePath(other);
    QCOMPARE(AllValues(info), QStringList(10, QString()));
}

void TestVersionInfo::samePathIsNotReadAgain()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("tool.bin"));
    WriteFile(path, KvVersionBlock::Encode(Block(QStringLiteral("040904E4"), QStringLiteral("1.0"))));
    TKvVersionInfo info;
    info.SetFilePath(path);
    QCOMPARE(info.GetValue(2), QStringLiteral("1.0"));
    WriteFile(path, KvVersionBlock::Encode(Block(QStringLiteral("040904E4"), QStringLiteral("9.9"))));
    info.SetFilePath(path);
    QCOMPARE(info.GetValue(2), QStringLiteral("1.0"));
    info.ReadInfo();
    QCOMPARE(info.GetValue(2), QStringLiteral("9.9"));
}

void TestVersionInfo::indexOutOfRange()
{
    TKvVersionInfo info;
    for (int index : {-1, 10}) {
        try {
            info.GetValue(index);
            QFAIL("no error");
        } catch (const std::out_of_range &error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("List index out of bounds (%1)").arg(index));
        }
    }
}

JOTWELL_TEST_MAIN(TestVersionInfo)
#include "tst_versioninfo.moc"
