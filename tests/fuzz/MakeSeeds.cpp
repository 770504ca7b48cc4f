// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzz target's seed corpus: small exchange files, whole, damaged and odd, each as
// a container and as plain XML text. Run: jotwell-fuzz-seeds tests/fuzz/corpus
#include "core/ExchangeContainer.h"
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

QByteArray memo(const QByteArray &mid, const QByteArray &pid, const QByteArray &content,
                const QByteArray &time = "2009-03-03T10:00:00.000+08:00")
{
    return "<memo mid=\"" + mid + "\" pid=\"" + pid + "\" content=\"" + content + "\" assign-time=\"" + time +
           "\" create-time=\"" + time + "\" edit-time=\"" + time + "\"/>";
}

QByteArray task(const QByteArray &tid, const QByteArray &pid)
{
    const QByteArray time = "2009-03-03T10:00:00.000Z";
    return "<task tid=\"" + tid + "\" pid=\"" + pid + "\" content=\"t\" check-flag=\"1\" alarm-flag=\"0\" due-flag=\"\""
           " text-color=\"255\" background-color=\"clWindow\" create-time=\"" + time + "\" edit-time=\"" + time +
           "\" check-time=\"" + time + "\" alarm-time=\"" + time + "\" due-time=\"" + time + "\"/>";
}

QByteArray m_document(const QByteArray &memos, const QByteArray &tasks = {})
{
    return "<korvel app=\"Dayloom\" appversion=\"1.7.5.31\" dataversion=\"1.1\" time=\"2009-03-03T10:00:00.000Z\">"
           "<tasks>" + tasks + "</tasks><memos>" + memos + "</memos><notes/><peers/></korvel>";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    const QByteArray family = memo("{A}", "root", "a&#10;two lines") + memo("{B}", "{A}", "b") + memo("{C}", "{B}", "c");
    const QList<QPair<const char *, QByteArray>> texts = {
        {"family", m_document(family, task("{T}", "root") + task("{U}", "{T}"))},
        {"child-first", m_document(memo("{B}", "{A}", "b") + memo("{A}", "root", "a"))},
        {"self-and-cycle", m_document(memo("{S}", "{S}", "s") + memo("{X}", "{Y}", "x") + memo("{Y}", "{X}", "y"))},
        {"unusable-ids", m_document(memo("root", "root", "r") + memo("", "root", "e") + memo("{K}", "", "k") +
                                  memo("{N&#0;}", "root", "n&#0;n"))},
        {"controls", m_document(memo("{A}", "root", "&#12;&#27;&#1;&#xFFFE;"))},
        {"missing-attributes", m_document("<memo pid=\"root\"/><memo mid=\"{A}\"/>", "<task/>")},
        {"wild-times", m_document(memo("{A}", "root", "a", "9999-12-31T23:59:59.999-14:00") +
                                memo("{B}", "root", "b", "0001-01-01T00:00:00+14:00") + memo("{C}", "root", "c", "yesterday"))},
        {"same-id-twice", m_document(memo("{A}", "root", "a") + memo("{A}", "root", "again") + memo("{B}", "{A}", "b"))},
        {"no-lists", "<other app=\"Dayloom\"><memo/><x#1/></other>"},
        {"wrong-app", "<korvel app=\"Other\"><memos/></korvel>"},
    };
    const auto write = [&folder](const QString &name, const QByteArray &bytes) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
    };
    for (const auto &[name, text] : texts) {
        write(QStringLiteral("%1.xml").arg(QLatin1String(name)), text);
        write(QStringLiteral("%1.kvx").arg(QLatin1String(name)), ExchangeContainer::compress(text));
    }
    const QByteArray whole = ExchangeContainer::compress(texts[0].second);
    write(QStringLiteral("truncated.kvx"), whole.left(whole.size() / 2));
    QByteArray flipped = whole;
    flipped[flipped.size() - 2] = char(flipped[flipped.size() - 2] ^ 0x10);
    write(QStringLiteral("checksum-flipped.kvx"), flipped);
    QByteArray hostile = whole;
    hostile[7] = char(0x7f);
    write(QStringLiteral("hostile-length.kvx"), hostile);
    return 0;
}
