#pragma once

#include <QString>

// The one rule by which the search compares texts: case and accents are
// ignored ("Hélène" = "HELENE"). Each code point folds to at most one code
// point: the base letter of its canonical decomposition, case-folded; a
// combining accent folds to nothing, so a text typed in decomposed form
// compares like its composed form.
namespace TextFold {

// The folded code point, or 0 when the code point folds to nothing.
char32_t fold(char32_t c);

struct Span
{
    qsizetype start = -1; // in UTF-16 units of the searched text; -1: not found
    qsizetype length = 0;
};

// Where `needle` first occurs in `text` under the folding rule, in the
// text's own positions (what a text box selects). An empty needle is found
// at 0 with length 0.
Span find(const QString &text, const QString &needle);

} // namespace TextFold
