#include "TestSupport.h"
#include "exchange/KvContainer.h"
#include "exchange/pU_XmlTry.h"
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>
#include <sstream>
#include <zlib.h>

namespace {

const QString kDoc = QStringLiteral("<anything a=\"1\"><first/><memos n=\"one\"><m0/><m1 mid=\"1\"/><m2/><m3/><m4/></memos>"
                                    "<memos n=\"two\"/><tail>text</tail></anything>");

QByteArray Serialized(Txmltry &xml)
{
    std::ostringstream out;
    xml.document().save(out, "", pugi::format_raw);
    return QByteArray::fromStdString(out.str());
}

// zlib's own one-call decompression, as another program would read the file.
QByteArray Uncompress(const QByteArray &file)
{
    uLongf size = uLongf(qFromLittleEndian<qint64>(file.constData()));
    QByteArray text(qsizetype(size), Qt::Uninitialized);
    const int rc = uncompress(reinterpret_cast<Bytef *>(text.data()), &size,
                              reinterpret_cast<const Bytef *>(file.constData() + 8), uLong(file.size() - 8));
    return rc == Z_OK && qsizetype(size) == text.size() ? text : QByteArray();
}

QByteArray Container(qint64 length, const QByteArray &stream)
{
    char header[8];
    qToLittleEndian<qint64>(length, header);
    return QByteArray(header, 8) + stream;
}

} // namespace

class TestXmlTry : public QObject {
    Q_OBJECT
private slots:
    void pathRules();
    void missingAttributes();
    void containerRoundTrip();
    void badFilesFailCleanly();
    void damagedStreamsFail();
    void lookupsFollowTheDocument();
};

void TestXmlTry::pathRules()
{
    Txmltry xml;
    xml.LoadFromText(kDoc);
    const pugi::xml_node root = xml.document().document_element();
    pugi::xml_node memos = root.child("memos");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel")), root); // the first segment is never compared
    QCOMPARE(xml.FindNode(QStringLiteral("zzz,memos")).attribute("n").value(), "one"); // first of two
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#0")), memos.first_child());
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,x#1")).attribute("mid").value(), "1");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#5")), memos); // out of range: stays
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#-1")), memos);
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,missing,memos")), memos);
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,tail,#0")).type(), pugi::node_pcdata);
    // Positions downwards, then past a child added since.
    for (int i = 4; i >= 0; --i)
        QCOMPARE(xml.FindNode(QStringLiteral("k,memos,#%1").arg(i)).name(), QStringLiteral("m%1").arg(i).toUtf8());
    memos.append_child("m5");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos,memo#5")).name(), "m5");
    QCOMPARE(xml.ChildCount(QStringLiteral("korvel,memos")), 6);
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.FindNode(QStringLiteral("korvel,memos,memo#x")));

    xml.LoadFromText(QStringLiteral("<r><tasks/><notes/></r>"));
    QCOMPARE(xml.ChildCount(QStringLiteral("korvel,memos")), 2); // the root's children
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.LoadFromText(QStringLiteral("<r><unclosed></r>")));
    QCOMPARE(Txmltry::CommaCount(QStringLiteral(",a,,b,")), 4);
}

void TestXmlTry::missingAttributes()
{
    ScriptedPrompts prompts;
    Txmltry xml;
    xml.LoadFromText(kDoc);
    QCOMPARE(xml.GetAttr(QStringLiteral("korvel,memos,memo#1"), QStringLiteral("mid")), QStringLiteral("1"));
    QCOMPARE(xml.GetAttr(QStringLiteral("korvel,memos,memo#5"), QStringLiteral("mid")), QString());
    QCOMPARE(prompts.shown.last().caption, QStringLiteral("Error"));
    QCOMPARE(prompts.lastText(), QStringLiteral("korvel,memos,memo#5: mid not Exist !"));

    // Setting changes only what is there; a missing attribute is never added.
    const QByteArray before = Serialized(xml);
    QVERIFY(!xml.SetAttr(QStringLiteral("korvel"), QStringLiteral("b"), QStringLiteral("x")));
    QCOMPARE(prompts.lastText(), QStringLiteral("korvel: b not Exist !"));
    QCOMPARE(Serialized(xml), before);
    QVERIFY(xml.SetAttr(QStringLiteral("korvel"), QStringLiteral("a"), QStringLiteral("<&>\"'")));
    QCOMPARE(xml.GetAttr(QStringLiteral("x"), QStringLiteral("a")), QStringLiteral("<&>\"'"));
    QCOMPARE(prompts.shown.size(), 2);
}

void TestXmlTry::containerRoundTrip()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("a.kvx"));
    Txmltry xml;
    xml.LoadFromText(kDoc);
    xml.FindNode(QStringLiteral("korvel,memos,memo#2")).append_attribute("text").set_value("é 中\r\n");
    xml.SaveToFile(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QByteArray text = Serialized(xml);
    QCOMPARE(qFromLittleEndian<qint64>(bytes.constData()), qint64(text.size()));
    QCOMPARE(bytes.mid(8, 2), QByteArray("\x78\xDA"));
    QCOMPARE(Uncompress(bytes), text);
    Txmltry back;
    back.LoadFromFile(path);
    QCOMPARE(Serialized(back), text);

    // A text of many pieces, each compressed on its own but depending on the text before it.
    QRandomGenerator random(7);
    QByteArray large = "<r>";
    while (large.size() < 5 * 1024 * 1024 + 12345)
        large += "<m v=\"" + QByteArray::number(random.bounded(100000)) + " repeated words\"/>";
    large += "</r>";
    const QByteArray container = KvContainer::Compress(large);
    QCOMPARE(Uncompress(container), large);
    QCOMPARE(KvContainer::Decompress(container), large);
}

void TestXmlTry::badFilesFailCleanly()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("bad.kvx"));
    const QByteArray text = "<korvel app=\"Dayloom\"><memos/></korvel>";
    const QByteArray stream = KvContainer::Compress(text).mid(8);
    const QList<QByteArray> bad = {
        text,                                      // plain XML
        Container(text.size(), stream.left(stream.size() / 2)), // truncated
        Container(text.size() + 100, stream),      // claims more than it holds
        Container(text.size() - 10, stream),       // cuts the XML short
        Container(qint64(1) << 62, stream),        // hostile length, refused before any allocation
        Container(0, stream),
        Container(text.size(), QByteArray(200, 'x')),
        KvContainer::Compress("<not closed"),
        QByteArray("short"),
    };
    for (const QByteArray &bytes : bad) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        Txmltry xml;
        QVERIFY_THROWS_EXCEPTION(std::exception, xml.LoadFromFile(path));
    }
    Txmltry xml;
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.LoadFromFile(folder.file(QStringLiteral("missing.kvx"))));
    xml.LoadFromText(QString::fromUtf8(text));
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.SaveToFile(folder.file(QStringLiteral("no/such/x.kvx"))));
}

// Every flipped bit of the stream (the checksum included), and a stream cut anywhere short of
// its end, is a failure: none may pass as a text that differs from the one written.
void TestXmlTry::damagedStreamsFail()
{
    QByteArray text;
    for (int i = 0; i < 64; ++i)
        text += "<memo content=\"" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + "\"/>";
    const QByteArray file = KvContainer::Compress(text);
    QCOMPARE(KvContainer::Decompress(file), text);
    for (qsizetype at = 8; at < file.size(); ++at) {
        for (const char bit : {char(0x01), char(0x80)}) {
            QByteArray damaged = file;
            damaged[at] = char(damaged[at] ^ bit);
            // Only the unused bits that pad the last byte of the data may change unnoticed.
            bool failed = false;
            try {
                QVERIFY(KvContainer::Decompress(damaged) == text && at == file.size() - 5);
            } catch (const KvContainer::Error &) {
                failed = true;
            }
            QVERIFY(failed || at == file.size() - 5);
        }
    }
    for (qsizetype cut = 1; cut <= 16; ++cut)
        QVERIFY_THROWS_EXCEPTION(KvContainer::Error, KvContainer::Decompress(file.chopped(cut)));
    // Bytes after the end of the stream are not read.
    QCOMPARE(KvContainer::Decompress(file + "trailing"), text);
}

// Name steps stay right as the document grows and when another one is loaded; references to
// the NUL character do not cut a value short.
void TestXmlTry::lookupsFollowTheDocument()
{
    Txmltry xml;
    xml.LoadFromText(QStringLiteral("<korvel><a/><b/></korvel>"));
    pugi::xml_node root = xml.FindNode(QStringLiteral("korvel"));
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos")), root);
    pugi::xml_node memos = root.append_child("memos");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos")), memos);
    root.append_child("memos");
    QCOMPARE(xml.FindNode(QStringLiteral("korvel,memos")), memos);
    memos.append_child("memo").append_attribute("mid").set_value("m0");
    QCOMPARE(xml.GetAttr(QStringLiteral("korvel,memos,memo#0"), QStringLiteral("mid")), QStringLiteral("m0"));

    xml.LoadFromText(QStringLiteral("<korvel><memos><memo mid=\"x&#0;y&#x000;z&#10;\"/></memos></korvel>"));
    QCOMPARE(xml.GetAttr(QStringLiteral("korvel,memos,memo#0"), QStringLiteral("mid")), QStringLiteral("x\uFFFDy\uFFFDz\n"));
    xml.LoadFromText(QStringLiteral("<korvel><other/></korvel>"));
    QCOMPARE(xml.ChildCount(QStringLiteral("korvel,memos")), 1);
}

JOTWELL_TEST_MAIN(TestXmlTry)
#include "tst_xmltry.moc"
