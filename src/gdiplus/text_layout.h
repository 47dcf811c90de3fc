#pragma once
// Text laid out as GDI+ lays out a string in a layout rectangle: lines broken
// at line feeds (and, in a rectangle with a width, between words), each line
// placed by the format's alignment, the block by its line alignment. A
// rectangle of size 0 is a point that the alignments place the text around.

#include "native_objects.h"

#include <string_view>
#include <vector>

namespace Gdiplus {

struct PlacedGlyph {
    unsigned int index;
    // The glyph's origin on the baseline, world units.
    double x;
    double y;
};

struct TextLayout {
    std::vector<PlacedGlyph> glyphs;
    // Where each line's ink may go: left end of the baseline and its width.
    struct Line {
        double x, baseline, width;
    };
    std::vector<Line> lines;
    RectF box;
    INT codepointsFitted = 0;
};

// Lines are as tall as the font's ascent plus its descent, each rounded up to
// whole pixels, and glyphs advance by whole pixels, as hinted text does.
TextLayout layoutText(std::u16string_view text, const GpFont& font, const RectF& layoutRect,
                      const GpStringFormat* format);

} // namespace Gdiplus
