#include "core/MemoId.h"
#include <QRandomGenerator>
#include <QUuid>
#include <array>

namespace {

// Ids come by the hundred thousand on import: a generator seeded once per thread from the
// system's randomness spares a system call per id, and 256 bits of seed keep ids of different
// runs and processes as far apart as the system's own would.
QRandomGenerator &idGenerator()
{
    thread_local QRandomGenerator generator = [] {
        std::array<quint32, 8> seed;
        QRandomGenerator::system()->fillRange(seed.data(), seed.size());
        return QRandomGenerator(seed.data(), qsizetype(seed.size()));
    }();
    return generator;
}

} // namespace

QString newMemoId()
{
    std::array<quint32, 4> words;
    idGenerator().fillRange(words.data(), words.size());
    auto *bytes = reinterpret_cast<unsigned char *>(words.data());
    bytes[6] = (bytes[6] & 0x0F) | 0x40; // version 4: random
    bytes[8] = (bytes[8] & 0x3F) | 0x80; // the RFC 4122 variant
    const QUuid uuid = QUuid::fromRfc4122(QByteArrayView(reinterpret_cast<const char *>(bytes), 16));
    return uuid.toString(QUuid::WithBraces).toUpper();
}
