// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <functional>
#include <memory>

namespace ExchangeContainer {

// Builds the container's zlib stream (level 9, 32 KiB window) from text handed over in any
// number of parts. Level 9 is slow on large texts, so the text is cut into pieces that the
// processor's cores compress while more text arrives; each piece is primed with the 32 KiB
// before it and ends on a byte boundary, so that joined they make one ordinary stream.
// progress is called on the calling thread with the text bytes handled so far.
class Deflater {
public:
    explicit Deflater(std::function<void(qint64)> progress = {});
    ~Deflater();
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    // Throws ExchangeContainer::Error once the text would pass kMaxTextSize.
    void write(const char *data, qsizetype size);
    // The whole container: the text's length, then the stream. Throws ExchangeContainer::Error.
    QByteArray finishContainer();

private:
    struct Work;
    void queue(const QByteArray &text, bool last);
    std::unique_ptr<Work> d;
};

} // namespace ExchangeContainer
