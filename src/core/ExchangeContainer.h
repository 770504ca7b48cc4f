// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <stdexcept>

// The exchange container: the length of the XML text as a signed 64-bit little-endian
// number, then the text as one zlib stream (level 9, 32 KiB window).
namespace ExchangeContainer {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest XML text a container may hold; a length field beyond it is refused before
// anything is allocated.
constexpr qint64 kMaxTextSize = qint64(1) << 30;
// The largest file a text of kMaxTextSize can make, incompressible text included (stored
// blocks add a few bytes per 16 KiB, each piece of the stream a few more): every file the
// writer makes is read back.
constexpr qint64 kMaxFileSize = 8 + kMaxTextSize + kMaxTextSize / 1024 + 4096;

// Called between pieces of work with the number of text bytes handled so far, so that a
// long run can show progress and keep the windows painted.
using ProgressFn = std::function<void(qint64 done)>;

// The whole file's bytes; a text beyond kMaxTextSize throws Error, as it could not be read back.
QByteArray compress(const QByteArray &text, const ProgressFn &progress = {});
QByteArray decompress(const QByteArray &file, const ProgressFn &progress = {}); // throws Error
// Throws Error; an existing file is replaced only once the new one is complete.
void writeFile(const QString &fileName, const QByteArray &text, const ProgressFn &progress = {});
// A finished container (see Deflater) written in place of fileName once complete; throws Error.
void writeBytes(const QString &fileName, const QByteArray &bytes);
QByteArray readFile(const QString &fileName, const ProgressFn &progress = {}); // throws Error

} // namespace ExchangeContainer
