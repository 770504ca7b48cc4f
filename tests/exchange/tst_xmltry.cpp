#include "TestSupport.h"
#include "exchange/KvContainer.h"
#include "exchange/pU_XmlTry.h"
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>
#include <zlib.h>

namespace {

const QString kDoc = QStringLiteral("<anything a=\"1\"><first/><memos n=\"one\"><m0 mid=\"0\"/><m1 mid=\"1\"/><m2/><m3/><m4/></memos>"
                                    "<memos n=\"two\"/><tail>text</tail></anything>");

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray Serialized(Txmltry &xml)
{
    std::ostringstream out;
    xml.document().save(out, "", pugi::format_raw);
    return QByteArray::fromStdString(out.str());
}

// zlib's own one-call decompression, as another program would read the file.
QByteArray Uncompress(const QByteArray &file)
{
    const qint64 length = qFromLittleEndian<qint64>(file.constData());
    QByteArray text(qsizetype(length), Qt::Uninitialized);
    uLongf size = uLongf(length);
    if (uncompress(reinterpret_cast<Bytef *>(text.data()), &size, reinterpret_cast<const Bytef *>(file.constData() + 8),
                   uLong(file.size() - 8)) != Z_OK || size != uLongf(length))
        return {};
    return text;
}

QByteArray Container(qint64 length, const QByteArray &stream)
{
    char header[8];
    qToLittleEndian<qint64>(length, header);
    return QByteArray(header, 8) + stream;
}

bool LoadFails(const QString &path)
{
    Txmltry xml;
    try {
        xml.LoadFromFile(path);
    } catch (const std::exception &) {
        return true;
    }
    return false;
}

} // namespace

class TestXmlTry : public QObject {
    Q_OBJECT
private slots:
    void pathRules();
    void missingAttributes();
    void containerBytesAndRoundTrip();
    void largeTextRoundTrip();
    void badFilesFailCleanly();
};

void TestXmlTry::pathRules()
{
    Txmltry xml;
    xml.LoadFromText(kDoc);
    const pugi::xml_node root = xml.document().document_element();
    pugi::xml_node memos = root.child("memos");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel")), root); // first segment never compared
    QCOMPARE(xml.FindNode(QStringLiteral("zzz,memos")), memos);
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos")).attribute("n").value(), "one"); // first of two
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#0")), memos.first_child());
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,x#1")).attribute("mid").value(), "1");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,#4")).name(), "m4");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#5")), memos); // out of range: stays
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#-1")), memos);
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,missing,memos")), memos);
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,m1,missing")).attribute("mid").value(), "1");
    // A text node has no name a step could match, but counts as a position.
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,tail,#0")).type(), pugi::node_pcdata);
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,tail,")).name(), "tail");
    // Walking down by positions, then again from the start, then past what was added.
    for (int i = 4; i >= 0; --i)
        QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#%1").arg(i)).name(), QStringLiteral("m%1").arg(i).toUtf8());
    memos.append_child("m5");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#5")).name(), "m5");

    QCOMPARE(xml.ChildCount(QStringLiteral("korvel,memos")), 6);
    QCOMPARE(xml.ChildCount(QStringLiteral("korvel,memos,memo#0")), 0);
    xml.LoadFromText(QStringLiteral("<r><tasks/><notes/></r>"));
    QCOMPARE(xml.ChildCount(QStringLiteral("korvel,memos")), 2); // the root's children
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.FindNode(QStringLiteral("korvel,memos,memo#x")));
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.LoadFromText(QStringLiteral("<r><unclosed></r>")));

    QCOMPARE(Txmltry::CommaCount(QString()), 0);
    QCOMPARE(Txmltry::CommaCount(QStringLiteral(",a,,b,")), 4);
}

void TestXmlTry::missingAttributes()
{
    ScriptedPrompts prompts;
    Txmltry xml;
    xml.LoadFromText(kDoc);
    QCOMPARE(xml.GetAttr(QStringLiteral("korvel,memos,memo#1"), QStringLiteral("mid")), QStringLiteral("1"));
    QCOMPARE(xml.GetAttr(QStringLiteral("korvel,memos,memo#2"), QStringLiteral("mid")), QString());
    QVERIFY(prompts.shown.isEmpty() == false);
    QCOMPARE(prompts.shown.last().caption, QStringLiteral("Error"));
    QCOMPARE(prompts.lastText(), QStringLiteral("korvel,memos,memo#2: mid not Exist !"));
    QCOMPARE(xml.GetAttr(QStringLiteral("korvel,memos,memo#5"), QStringLiteral("mid")), QString());
    QCOMPARE(prompts.lastText(), QStringLiteral("korvel,memos,memo#5: mid not Exist !"));

    // Setting only changes what is there; a missing attribute is never added.
    const QByteArray before = Serialized(xml);
    QVERIFY(!xml.SetAttr(QStringLiteral("korvel"), QStringLiteral("b"), QStringLiteral("x")));
    QCOMPARE(prompts.lastText(), QStringLiteral("korvel: b not Exist !"));
    QCOMPARE(Serialized(xml), before);
    QVERIFY(xml.SetAttr(QStringLiteral("korvel"), QStringLiteral("a"), QStringLiteral("<&>\"'")));
    QCOMPARE(xml.GetAttr(QStringLiteral("x"), QStringLiteral("a")), QStringLiteral("<&>\"'"));
    QCOMPARE(prompts.shown.size(), 3);
}

void TestXmlTry::containerBytesAndRoundTrip()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("a.kvx"));
    Txmltry xml;
    xml.LoadFromText(kDoc);
    xml.FindNode(QStringLiteral("korvel,memos,memo#2")).append_attribute("text").set_value("é 中\r\n");
    xml.SaveToFile(path);

    const QByteArray file = ReadBytes(path);
    const QByteArray text = Serialized(xml);
    QCOMPARE(qFromLittleEndian<qint64>(file.constData()), qint64(text.size()));
    QCOMPARE(quint8(file[8]), quint8(0x78));
    QCOMPARE(quint8(file[9]), quint8(0xDA));
    QCOMPARE(Uncompress(file), text);

    Txmltry back;
    back.LoadFromFile(path);
    QCOMPARE(Serialized(back), text);
    QCOMPARE(back.GetAttr(QStringLiteral("k,memos,#2"), QStringLiteral("text")), QStringLiteral("é 中\r\n"));

    // Saving again replaces the file.
    xml.LoadFromText(QStringLiteral("<small/>"));
    xml.SaveToFile(path);
    back.LoadFromFile(path);
    QCOMPARE(QByteArray(back.document().document_element().name()), QByteArray("small"));
}

void TestXmlTry::largeTextRoundTrip()
{
    // Several pieces of compression work, each depending on the text before it.
    QRandomGenerator random(7);
    QByteArray text = "<r>";
    while (text.size() < 5 * 1024 * 1024 + 12345)
        text += "<m v=\"" + QByteArray::number(random.bounded(100000)) + " repeated words and more\"/>";
    text += "</r>";
    const QByteArray file = KvContainer::Compress(text);
    QCOMPARE(quint8(file[9]), quint8(0xDA));
    QCOMPARE(Uncompress(file), text);
    QCOMPARE(KvContainer::Decompress(file), text);
}

void TestXmlTry::badFilesFailCleanly()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("bad.kvx"));
    const QByteArray text = "<korvel app=\"Dayloom\"><memos/></korvel>";
    const QByteArray good = KvContainer::Compress(text);
    QVERIFY(!LoadFails((WriteBytes(path, good), path)));

    const QList<QByteArray> bad = {
        text,                                                 // plain XML
        good.left(good.size() / 2),                           // truncated
        good.left(5),                                         // not even a length
        Container(text.size() + 100, good.mid(8)),            // claims more than it holds
        Container(text.size() - 10, good.mid(8)),             // cuts the XML short
        Container(qint64(1) << 62, good.mid(8)),              // hostile length
        Container(qint64(1) << 29, good.mid(8)),              // huge, but under the ceiling
        Container(0, good.mid(8)),
        Container(-5, good.mid(8)),
        Container(text.size(), QByteArray(200, 'x')),         // no zlib stream
        KvContainer::Compress("<not closed"),                 // no XML
        QByteArray(),
    };
    for (const QByteArray &bytes : bad) {
        WriteBytes(path, bytes);
        QVERIFY2(LoadFails(path), bytes.left(20).toHex().constData());
    }
    QVERIFY(LoadFails(folder.file(QStringLiteral("missing.kvx"))));

    Txmltry xml;
    xml.LoadFromText(QString::fromUtf8(text));
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.SaveToFile(folder.file(QStringLiteral("no/such/folder.kvx"))));
}

JOTWELL_TEST_MAIN(TestXmlTry)
#include "tst_xmltry.moc"
