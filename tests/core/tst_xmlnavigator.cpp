// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreTestSupport.h"
#include "core/ExchangeContainer.h"
#include "core/ParallelDeflate.h"
#include "core/XmlNavigator.h"
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>
#include <sstream>
#include <sys/mman.h>
#include <zlib.h>

namespace {

const QString kDoc = QStringLiteral("<anything a=\"1\"><first/><memos n=\"one\"><m0/><m1 mid=\"1\"/><m2/><m3/><m4/></memos>"
                                    "<memos n=\"two\"/><tail>text</tail></anything>");

QByteArray serialized(XmlNavigator &xml)
{
    std::ostringstream out;
    xml.document().save(out, "", pugi::format_raw);
    return QByteArray::fromStdString(out.str());
}

// zlib's own one-call decompression, as another program would read the file.
QByteArray zlibUncompress(const QByteArray &file)
{
    uLongf size = uLongf(qFromLittleEndian<qint64>(file.constData()));
    QByteArray text(qsizetype(size), Qt::Uninitialized);
    const int rc = uncompress(reinterpret_cast<Bytef *>(text.data()), &size,
                              reinterpret_cast<const Bytef *>(file.constData() + 8), uLong(file.size() - 8));
    return rc == Z_OK && qsizetype(size) == text.size() ? text : QByteArray();
}

QByteArray container(qint64 length, const QByteArray &stream)
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
    XmlNavigator xml;
    xml.loadFromText(kDoc);
    const pugi::xml_node root = xml.document().document_element();
    pugi::xml_node memos = root.child("memos");
    QCOMPARE(xml.findNode(QStringLiteral("korvel")), root); // the first segment is never compared
    QCOMPARE(xml.findNode(QStringLiteral("zzz,memos")).attribute("n").value(), "one"); // first of two
    QCOMPARE(xml.findNode(QStringLiteral("korvel,memos,memo#0")), memos.first_child());
    QCOMPARE(xml.findNode(QStringLiteral("korvel,memos,x#1")).attribute("mid").value(), "1");
    QCOMPARE(xml.findNode(QStringLiteral("korvel,memos,memo#5")), memos); // out of range: stays
    QCOMPARE(xml.findNode(QStringLiteral("korvel,memos,memo#-1")), memos);
    QCOMPARE(xml.findNode(QStringLiteral("korvel,missing,memos")), memos);
    QCOMPARE(xml.findNode(QStringLiteral("korvel,tail,#0")).type(), pugi::node_pcdata);
    // Positions downwards, then past a child added since.
    for (int i = 4; i >= 0; --i)
        QCOMPARE(xml.findNode(QStringLiteral("k,memos,#%1").arg(i)).name(), QStringLiteral("m%1").arg(i).toUtf8());
    memos.append_child("m5");
    QCOMPARE(xml.findNode(QStringLiteral("korvel,memos,memo#5")).name(), "m5");
    QCOMPARE(xml.childCount(QStringLiteral("korvel,memos")), 6);
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.findNode(QStringLiteral("korvel,memos,memo#x")));

    xml.loadFromText(QStringLiteral("<r><tasks/><notes/></r>"));
    QCOMPARE(xml.childCount(QStringLiteral("korvel,memos")), 2); // the root's children
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.loadFromText(QStringLiteral("<r><unclosed></r>")));
    QCOMPARE(XmlNavigator::commaCount(QStringLiteral(",a,,b,")), 4);
}

void TestXmlTry::missingAttributes()
{
    XmlNavigator xml;
    QStringList reported;
    xml.onMissingAttribute = [&reported](const QString &text) { reported << text; };
    xml.loadFromText(kDoc);
    QCOMPARE(xml.getAttr(QStringLiteral("korvel,memos,memo#1"), QStringLiteral("mid")), QStringLiteral("1"));
    QCOMPARE(xml.getAttr(QStringLiteral("korvel,memos,memo#5"), QStringLiteral("mid")), QString());
    QCOMPARE(reported.last(), QStringLiteral("korvel,memos,memo#5: mid not Exist !"));

    // Setting changes only what is there; a missing attribute is never added.
    const QByteArray before = serialized(xml);
    QVERIFY(!xml.setAttr(QStringLiteral("korvel"), QStringLiteral("b"), QStringLiteral("x")));
    QCOMPARE(reported.last(), QStringLiteral("korvel: b not Exist !"));
    QCOMPARE(serialized(xml), before);
    QVERIFY(xml.setAttr(QStringLiteral("korvel"), QStringLiteral("a"), QStringLiteral("<&>\"'")));
    QCOMPARE(xml.getAttr(QStringLiteral("x"), QStringLiteral("a")), QStringLiteral("<&>\"'"));
    QCOMPARE(reported.size(), 2);
}

void TestXmlTry::containerRoundTrip()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("a.kvx"));
    XmlNavigator xml;
    xml.loadFromText(kDoc);
    xml.findNode(QStringLiteral("korvel,memos,memo#2")).append_attribute("text").set_value("é 中\r\n");
    xml.saveToFile(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QByteArray text = serialized(xml);
    QCOMPARE(qFromLittleEndian<qint64>(bytes.constData()), qint64(text.size()));
    QCOMPARE(bytes.mid(8, 2), QByteArray("\x78\xDA"));
    QCOMPARE(zlibUncompress(bytes), text);
    XmlNavigator back;
    back.loadFromFile(path);
    QCOMPARE(serialized(back), text);

    // A text of many pieces, each compressed on its own but depending on the text before it.
    QRandomGenerator random(7);
    QByteArray large = "<r>";
    while (large.size() < 5 * 1024 * 1024 + 12345)
        large += "<m v=\"" + QByteArray::number(random.bounded(100000)) + " repeated words\"/>";
    large += "</r>";
    const QByteArray container = ExchangeContainer::compress(large);
    QCOMPARE(zlibUncompress(container), large);
    QCOMPARE(ExchangeContainer::decompress(container), large);

    // A text the reader would refuse is refused before any of it is compressed; the bytes
    // beyond the limit are untouched zero pages.
    const qsizetype beyond = qsizetype(ExchangeContainer::kMaxTextSize) - large.size() + 1;
    void *zeros = mmap(nullptr, size_t(beyond), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    QVERIFY(zeros != MAP_FAILED);
    ExchangeContainer::Deflater deflater;
    deflater.write(large.constData(), large.size());
    QVERIFY_THROWS_EXCEPTION(ExchangeContainer::Error, deflater.write(static_cast<const char *>(zeros), beyond));
    munmap(zeros, size_t(beyond));
}

void TestXmlTry::badFilesFailCleanly()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("bad.kvx"));
    const QByteArray text = "<korvel app=\"Dayloom\"><memos/></korvel>";
    const QByteArray stream = ExchangeContainer::compress(text).mid(8);
    const QList<QByteArray> bad = {
        text,                                      // plain XML
        container(text.size(), stream.left(stream.size() / 2)), // truncated
        container(text.size() + 100, stream),      // claims more than it holds
        container(text.size() - 10, stream),       // cuts the XML short
        container(qint64(1) << 62, stream),        // hostile length, refused before any allocation
        container(0, stream),
        container(text.size(), QByteArray(200, 'x')),
        ExchangeContainer::compress("<not closed"),
        QByteArray("short"),
    };
    for (const QByteArray &bytes : bad) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        XmlNavigator xml;
        QVERIFY_THROWS_EXCEPTION(std::exception, xml.loadFromFile(path));
    }
    XmlNavigator xml;
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.loadFromFile(folder.file(QStringLiteral("missing.kvx"))));
    xml.loadFromText(QString::fromUtf8(text));
    QVERIFY_THROWS_EXCEPTION(std::exception, xml.saveToFile(folder.file(QStringLiteral("no/such/x.kvx"))));
}

// Every flipped bit of the stream (the checksum included), and a stream cut anywhere short of
// its end, is a failure: none may pass as a text that differs from the one written.
void TestXmlTry::damagedStreamsFail()
{
    QByteArray text;
    for (int i = 0; i < 64; ++i)
        text += "<memo content=\"" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + "\"/>";
    const QByteArray file = ExchangeContainer::compress(text);
    QCOMPARE(ExchangeContainer::decompress(file), text);
    for (qsizetype at = 8; at < file.size(); ++at) {
        for (const char bit : {char(0x01), char(0x80)}) {
            QByteArray damaged = file;
            damaged[at] = char(damaged[at] ^ bit);
            // Only the unused bits that pad the last byte of the data may change unnoticed.
            bool failed = false;
            try {
                QVERIFY(ExchangeContainer::decompress(damaged) == text && at == file.size() - 5);
            } catch (const ExchangeContainer::Error &) {
                failed = true;
            }
            QVERIFY(failed || at == file.size() - 5);
        }
    }
    for (qsizetype cut = 1; cut <= 16; ++cut)
        QVERIFY_THROWS_EXCEPTION(ExchangeContainer::Error, ExchangeContainer::decompress(file.chopped(cut)));
    // Bytes after the end of the stream are not read.
    QCOMPARE(ExchangeContainer::decompress(file + "trailing"), text);
}

// Name steps stay right as the document grows and when another one is loaded; references to
// the NUL character do not cut a value short.
void TestXmlTry::lookupsFollowTheDocument()
{
    XmlNavigator xml;
    xml.loadFromText(QStringLiteral("<korvel><a/><b/></korvel>"));
    pugi::xml_node root = xml.findNode(QStringLiteral("korvel"));
    QCOMPARE(xml.findNode(QStringLiteral("korvel,memos")), root);
    pugi::xml_node memos = root.append_child("memos");
    QCOMPARE(xml.findNode(QStringLiteral("korvel,memos")), memos);
    root.append_child("memos");
    QCOMPARE(xml.findNode(QStringLiteral("korvel,memos")), memos);
    memos.append_child("memo").append_attribute("mid").set_value("m0");
    QCOMPARE(xml.getAttr(QStringLiteral("korvel,memos,memo#0"), QStringLiteral("mid")), QStringLiteral("m0"));

    xml.loadFromText(QStringLiteral("<korvel><memos><memo mid=\"x&#0;y&#x000;z&#10;\"/></memos></korvel>"));
    QCOMPARE(xml.getAttr(QStringLiteral("korvel,memos,memo#0"), QStringLiteral("mid")), QStringLiteral("x\uFFFDy\uFFFDz\n"));
    xml.loadFromText(QStringLiteral("<korvel><other/></korvel>"));
    QCOMPARE(xml.childCount(QStringLiteral("korvel,memos")), 1);
}

QTEST_GUILESS_MAIN(TestXmlTry)
#include "tst_xmlnavigator.moc"
