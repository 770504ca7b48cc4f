// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MemoId.h"
#include <QRandomGenerator>
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

QByteArray newMemoIdUtf8()
{
    std::array<quint32, 4> words;
    idGenerator().fillRange(words.data(), words.size());
    auto *bytes = reinterpret_cast<unsigned char *>(words.data());
    bytes[6] = (bytes[6] & 0x0F) | 0x40; // version 4: random
    bytes[8] = (bytes[8] & 0x3F) | 0x80; // the RFC 4122 variant
    // The bytes in order, as a GUID reads them big-endian: {4-2-2-2-6}.
    static const char kDigits[] = "0123456789ABCDEF";
    QByteArray id(38, Qt::Uninitialized);
    char *out = id.data();
    *out++ = '{';
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *out++ = '-';
        *out++ = kDigits[bytes[i] >> 4];
        *out++ = kDigits[bytes[i] & 0x0F];
    }
    *out = '}';
    return id;
}

QString newMemoId()
{
    return QString::fromLatin1(newMemoIdUtf8());
}
