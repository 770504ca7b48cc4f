#pragma once
#include <QByteArray>
#include <functional>

namespace KvContainer {

// text as one zlib stream (level 9, 32 KiB window). Level 9 is slow on large texts, so the
// text is cut into pieces that the processor's cores compress at once, each primed with the
// 32 KiB before it and ended on a byte boundary, which joined make one ordinary stream.
// progress is called on the calling thread with the bytes done so far. Throws on failure.
QByteArray DeflateZlib(const QByteArray &text, const std::function<void(qint64)> &progress);

} // namespace KvContainer
