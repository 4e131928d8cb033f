#include "foldedneedle.h"

#include "textfold.h"

#include <QList>

#include <algorithm>
#include <array>
#include <bitset>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Letters from the most to the least frequent in French text: the needle is
// searched from its rarest character, which gives the fewest places to try.
constexpr char FrequencyOrder[] = "eaisnrtoulcdmpgbvhfqyxjkwz";

int rarity(char32_t folded)
{
    if (folded >= 0x80) {
        return -2; // may start with any of sixty-four bytes: the worst place to start
    }
    const char *at = std::find(std::begin(FrequencyOrder), std::end(FrequencyOrder) - 1, char(folded));
    if (at == std::end(FrequencyOrder) - 1) {
        if (folded == U' ') {
            return -1; // everywhere
        }
        // Phone numbers and times share ten digits: one digit is about as
        // frequent as a middling consonant. Other signs are rare.
        return folded >= U'0' && folded <= U'9' ? 14 : 50;
    }
    return int(at - std::begin(FrequencyOrder));
}

// For every folded ASCII character, which first bytes of UTF-8 sequences can
// stand for a character that folds to it ('é' folds to 'e' and starts with
// 0xC3). Computed once from the whole basic plane.
const std::array<std::bitset<256>, 128> &asciiStarters()
{
    static const std::array<std::bitset<256>, 128> starters = [] {
        std::array<std::bitset<256>, 128> table{};
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000) {
                continue;
            }
            const char32_t f = TextFold::fold(c);
            if (f == 0 || f >= 0x80) {
                continue;
            }
            const unsigned first = c < 0x80 ? c : c < 0x800 ? 0xC0 | (c >> 6) : 0xE0 | (c >> 12);
            table[f].set(first);
        }
        return table;
    }();
    return starters;
}

// Decodes the UTF-8 character starting at `at`; an invalid byte is taken
// as a character of its own, outside Unicode, so that it never folds into a
// letter.
char32_t decode(const unsigned char *text, std::size_t size, std::size_t &at)
{
    const unsigned char b = text[at++];
    if (b < 0x80) {
        return b;
    }
    const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || at + std::size_t(extra) > size) {
        return 0x110000 + b;
    }
    char32_t c = b & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        const unsigned char next = text[at + std::size_t(i)];
        if ((next & 0xC0) != 0x80) {
            return 0x110000 + b;
        }
        c = (c << 6) | (next & 0x3F);
    }
    at += std::size_t(extra);
    return c;
}

char32_t foldDecoded(char32_t c)
{
    return c >= 0x110000 ? c : TextFold::fold(c);
}

// The next character folded, ASCII (most of a slot text) without a call.
inline char32_t nextFolded(const unsigned char *text, std::size_t size, std::size_t &at)
{
    const unsigned char b = text[at];
    if (b < 0x80) {
        ++at;
        return (b >= 'A' && b <= 'Z') ? char32_t(b + 32) : char32_t(b);
    }
    return foldDecoded(decode(text, size, at));
}

} // namespace

FoldedNeedle::FoldedNeedle(const QString &needle)
{
    for (const uint c : needle.toUcs4()) {
        if (const char32_t f = TextFold::fold(char32_t(c)); f != 0) {
            m_folded.push_back(f);
        }
    }
    if (m_folded.empty()) {
        return;
    }
    for (std::size_t i = 1; i < m_folded.size(); ++i) {
        if (rarity(m_folded[i]) > rarity(m_folded[m_anchor])) {
            m_anchor = i;
        }
    }
    const char32_t anchor = m_folded[m_anchor];
    if (anchor < 0x80) {
        const std::bitset<256> &starters = asciiStarters()[anchor];
        for (unsigned b = 0; b < 256; ++b) {
            m_isAnchorByte[b] = starters.test(b);
        }
    } else {
        // Beyond ASCII (a needle without any ASCII character): any first
        // byte of a multi-byte character may do. No character beyond the
        // basic plane folds into ASCII, so the table above is complete.
        for (unsigned b = 0xC0; b < 256; ++b) {
            m_isAnchorByte[b] = true;
        }
    }
    for (unsigned b = 0; b < 256; ++b) {
        if (m_isAnchorByte[b]) {
            m_anchorBytes.push_back((unsigned char)b);
        }
    }
}

// Tries the needle with its anchor character at byte `anchorAt`: forwards
// from there, then backwards for the characters before the anchor. Folded
// to nothing (combining accents) is skipped on the text's side.
bool FoldedNeedle::matchesAround(const unsigned char *text, std::size_t size, std::size_t anchorAt) const
{
    std::size_t at = anchorAt;
    for (std::size_t k = m_anchor; k < m_folded.size();) {
        if (at >= size) {
            return false;
        }
        const char32_t f = nextFolded(text, size, at);
        if (f == 0 && k != m_anchor) {
            continue;
        }
        if (f != m_folded[k]) {
            return false;
        }
        ++k;
    }
    std::size_t end = anchorAt;
    for (std::size_t k = m_anchor; k > 0;) {
        if (end == 0) {
            return false;
        }
        std::size_t start = end - 1;
        while (start > 0 && end - start < 4 && (text[start] & 0xC0) == 0x80) {
            --start;
        }
        std::size_t at = start;
        char32_t c = decode(text, size, at);
        if (at != end) { // not one whole character: the byte alone
            start = end - 1;
            c = 0x110000 + text[start];
        }
        end = start;
        const char32_t f = foldDecoded(c);
        if (f == 0) {
            continue;
        }
        if (f != m_folded[k - 1]) {
            return false;
        }
        --k;
    }
    return true;
}

bool FoldedNeedle::foundIn(const char *data, std::size_t size) const
{
    if (m_folded.empty()) {
        return true;
    }
    const auto *text = reinterpret_cast<const unsigned char *>(data);
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: a mask of the bytes where the anchor may start.
    if (m_anchorBytes.size() <= 8) {
        __m128i wanted[8];
        for (std::size_t b = 0; b < m_anchorBytes.size(); ++b) {
            wanted[b] = _mm_set1_epi8(char(m_anchorBytes[b]));
        }
        for (; i + 16 <= size; i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
            __m128i hits = _mm_cmpeq_epi8(block, wanted[0]);
            for (std::size_t b = 1; b < m_anchorBytes.size(); ++b) {
                hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, wanted[b]));
            }
            for (unsigned mask = unsigned(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
                if (matchesAround(text, size, i + std::size_t(__builtin_ctz(mask)))) {
                    return true;
                }
            }
        }
    }
#endif
    for (; i < size; ++i) {
        if (m_isAnchorByte[text[i]] && matchesAround(text, size, i)) {
            return true;
        }
    }
    return false;
}
