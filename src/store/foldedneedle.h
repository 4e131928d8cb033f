#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <vector>

// A search text prepared for finding it, under TextFold's rule, in UTF-8
// texts straight from the database: no conversion of the searched text, and
// a fast skip to the few bytes where a match can start (the bytes that can
// begin a character folding to the needle's rarest character).
class FoldedNeedle
{
public:
    explicit FoldedNeedle(const QString &needle);

    // True when the needle occurs in the UTF-8 text (an empty needle
    // occurs in every text). Invalid UTF-8 bytes count as characters of
    // their own that match nothing but themselves.
    bool foundIn(const char *text, std::size_t size) const;

private:
    bool matchesAround(const unsigned char *text, std::size_t size, std::size_t anchorAt) const;

    std::vector<char32_t> m_folded;         // the needle, folded, nothing dropped left in it
    std::size_t m_anchor = 0;               // index in m_folded of the character searched first
    std::vector<unsigned char> m_anchorBytes; // first bytes of the characters folding to it
    std::array<bool, 256> m_isAnchorByte{};
};
