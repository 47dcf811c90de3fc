#include "text_layout.h"

#include "foundation/utf8.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

namespace {

struct Character {
    char32_t code;
    unsigned int glyph;
    double advance;
};

std::vector<std::vector<Character>> splitLines(std::u16string_view text, const GpFont& font)
{
    std::vector<std::vector<Character>> lines(1);
    const double em = font.pixelSize();
    for (std::size_t at = 0; at < text.size();) {
        // An unpaired surrogate is looked up as it is: no font maps it, so
        // it draws as the font's missing-glyph box.
        const vantle::Utf16Sequence sequence = vantle::decodeUtf16(text, at);
        const char32_t c = sequence.valid ? sequence.codePoint : text[at];
        at += sequence.length;
        if (c == u'\r' && at < text.size() && text[at] == u'\n')
            continue;
        if (c == u'\n' || c == u'\r') {
            lines.emplace_back();
            continue;
        }
        const unsigned int glyph = font.face->glyphIndex(c);
        lines.back().push_back({c, glyph, font.face->advance(glyph, em)});
    }
    return lines;
}

double width(const std::vector<Character>& line, std::size_t from, std::size_t to, bool trailingSpaces)
{
    if (!trailingSpaces)
        while (to > from && line[to - 1].code == U' ')
            --to;
    double total = 0;
    for (std::size_t i = from; i < to; ++i)
        total += line[i].advance;
    return total;
}

// Greedy word wrap: a line ends after the last space that keeps it within
// the width; a word wider than the width is broken between characters.
std::vector<std::pair<std::size_t, std::size_t>> wrap(const std::vector<Character>& line, double maxWidth)
{
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t end = start;
        std::size_t lastBreak = start;
        double used = 0;
        while (end < line.size() && (end == start || used + line[end].advance <= maxWidth + 1e-6 ||
                                     line[end].code == U' ')) {
            used += line[end].advance;
            ++end;
            if (line[end - 1].code == U' ')
                lastBreak = end;
        }
        if (end < line.size() && lastBreak > start)
            end = lastBreak;
        pieces.emplace_back(start, end);
        start = end;
    }
    if (pieces.empty())
        pieces.emplace_back(0, 0);
    return pieces;
}

double alignmentFactor(StringAlignment alignment)
{
    return alignment == StringAlignmentCenter ? 0.5 : alignment == StringAlignmentFar ? 1.0 : 0.0;
}

} // namespace

TextLayout layoutText(std::u16string_view text, const GpFont& font, const RectF& layoutRect,
                      const GpStringFormat* format)
{
    if (text.empty()) {
        TextLayout empty;
        empty.box = RectF(layoutRect.X, layoutRect.Y, 0, 0);
        return empty;
    }
    const GpStringFormat defaults;
    const GpStringFormat& f = format ? *format : defaults;
    const double em = font.pixelSize();
    const double ascent = std::ceil(font.face->ascent() * em - 1e-6);
    const double lineHeight = ascent + std::ceil(font.face->descent() * em - 1e-6);
    const bool wraps = layoutRect.Width > 0 && !(f.flags & StringFormatFlagsNoWrap);
    const bool trailingSpaces = (f.flags & StringFormatFlagsMeasureTrailingSpaces) != 0;

    struct Piece {
        const std::vector<Character>* characters;
        std::size_t from, to;
        double width;
    };
    const std::vector<std::vector<Character>> lines = splitLines(text, font);
    std::vector<Piece> pieces;
    for (const auto& line : lines) {
        const auto ranges = wraps ? wrap(line, double(layoutRect.Width))
                                  : std::vector<std::pair<std::size_t, std::size_t>>{{0, line.size()}};
        for (const auto& [from, to] : ranges)
            pieces.push_back({&line, from, to, width(line, from, to, trailingSpaces)});
    }

    TextLayout layout;
    const double blockHeight = lineHeight * double(pieces.size());
    const double top = double(layoutRect.Y) + (double(layoutRect.Height) - blockHeight) * alignmentFactor(f.lineAlignment);
    double left = 1e300, widest = 0;
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        const Piece& piece = pieces[n];
        double x = double(layoutRect.X) + (double(layoutRect.Width) - piece.width) * alignmentFactor(f.alignment);
        const double baseline = top + double(n) * lineHeight + ascent;
        layout.lines.push_back({x, baseline, piece.width});
        left = std::min(left, x);
        widest = std::max(widest, piece.width);
        for (std::size_t i = piece.from; i < piece.to; ++i) {
            const Character& c = (*piece.characters)[i];
            layout.glyphs.push_back({c.glyph, x, baseline});
            x += c.advance;
        }
    }
    layout.box = RectF(REAL(left), REAL(top), REAL(widest), REAL(blockHeight));
    layout.codepointsFitted = INT(text.size());
    return layout;
}

} // namespace Gdiplus
