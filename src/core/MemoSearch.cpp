// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MemoSearch.h"
#include "core/MemoText.h"
#include <QtAlgorithms>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

QString searchTextOf(const QString &typed)
{
    qsizetype start = 0;
    while (start < typed.size() && typed.at(start).unicode() < 33)
        ++start;
    return trimRightControls(typed.mid(start));
}

MemoSearch::MemoSearch(const QString &searchText, bool wide) : m_text(searchText), m_wide(wide)
{
}

bool MemoSearch::occursAt(const char16_t *start) const
{
    return std::memcmp(start, m_text.utf16(), size_t(m_text.size()) * sizeof(char16_t)) == 0;
}

// A keystroke searches every memo's text. Places where both the first and the last character
// of the search text stand at the right distance are rare in real text, so they are looked for
// eight places at a time and only those are compared in full.
bool MemoSearch::holds(QStringView text) const
{
    const qsizetype length = m_text.size();
    const qsizetype lastStart = text.size() - length;
    if (length == 0)
        return true;
    if (lastStart < 0)
        return false;
    const char16_t *chars = text.utf16();
    const char16_t first = m_text.utf16()[0];
    const char16_t last = m_text.utf16()[length - 1];
    qsizetype at = 0;
#ifdef __SSE2__
    const __m128i firsts = _mm_set1_epi16(short(first));
    const __m128i lasts = _mm_set1_epi16(short(last));
    for (; at + 8 <= lastStart + 1; at += 8) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i *>(chars + at));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i *>(chars + at + length - 1));
        const __m128i both = _mm_and_si128(_mm_cmpeq_epi16(starts, firsts), _mm_cmpeq_epi16(ends, lasts));
        uint mask = uint(_mm_movemask_epi8(both));
        while (mask) {
            const uint bit = qCountTrailingZeroBits(mask);
            if (occursAt(chars + at + bit / 2))
                return true;
            mask &= ~(3u << bit); // both bits of that character
        }
    }
#endif
    for (; at <= lastStart; ++at) {
        if (chars[at] == first && chars[at + length - 1] == last && occursAt(chars + at))
            return true;
    }
    return false;
}
