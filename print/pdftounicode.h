#pragma once

#include <QByteArray>

#include <functional>

// Qt's PDF writer names each embedded glyph, in the font's ToUnicode map, by
// the lowest code point the font maps to that glyph. Where a font shares one
// glyph between several code points, text then reads back as the wrong one:
// with Noto Sans CJK, 一 as the radical ⼀ (U+2F00), 黄 as ⻩ (U+2EE9), a space
// as a tab, and search and copy in PDF viewers fail.
namespace PdfToUnicode {

// The PDF with the code point c of every ToUnicode entry replaced by
// preferred(c). The stream lengths, the cross-reference table and startxref
// follow the changed lengths. A file laid out unlike the writer's output comes
// back unchanged: its text still prints, only reading it back suffers.
QByteArray remap(const QByteArray &pdf, const std::function<char32_t(char32_t)> &preferred);

} // namespace PdfToUnicode
