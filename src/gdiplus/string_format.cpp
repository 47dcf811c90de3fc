#include "gdiplus_string_format.h"
#include "native_objects.h"

namespace Gdiplus {

namespace {
bool validAlignment(StringAlignment align) { return align >= StringAlignmentNear && align <= StringAlignmentFar; }
} // namespace

StringFormat::StringFormat(INT formatFlags, LANGID language)
{
    nativeFormat = new GpStringFormat;
    nativeFormat->flags = formatFlags;
    nativeFormat->language = language;
}

StringFormat::~StringFormat() { delete nativeFormat; }

Status StringFormat::SetAlignment(StringAlignment align)
{
    if (!validAlignment(align))
        return SetStatus(InvalidParameter);
    nativeFormat->alignment = align;
    return Ok;
}

StringAlignment StringFormat::GetAlignment() const { return nativeFormat->alignment; }

Status StringFormat::SetLineAlignment(StringAlignment align)
{
    if (!validAlignment(align))
        return SetStatus(InvalidParameter);
    nativeFormat->lineAlignment = align;
    return Ok;
}

StringAlignment StringFormat::GetLineAlignment() const { return nativeFormat->lineAlignment; }

} // namespace Gdiplus
