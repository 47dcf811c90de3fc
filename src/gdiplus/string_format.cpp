#include "gdiplus_string_format.h"

namespace Gdiplus {

using namespace DllExports;

StringFormat::StringFormat(INT formatFlags, LANGID language)
{
    lastResult = GdipCreateStringFormat(formatFlags, language, &nativeFormat);
}

StringFormat::~StringFormat()
{
    if (nativeFormat)
        GdipDeleteStringFormat(nativeFormat);
}

Status StringFormat::SetAlignment(StringAlignment align) { return SetStatus(GdipSetStringFormatAlign(nativeFormat, align)); }

StringAlignment StringFormat::GetAlignment() const
{
    StringAlignment align = StringAlignmentNear;
    SetStatus(GdipGetStringFormatAlign(nativeFormat, &align));
    return align;
}

Status StringFormat::SetLineAlignment(StringAlignment align)
{
    return SetStatus(GdipSetStringFormatLineAlign(nativeFormat, align));
}

StringAlignment StringFormat::GetLineAlignment() const
{
    StringAlignment align = StringAlignmentNear;
    SetStatus(GdipGetStringFormatLineAlign(nativeFormat, &align));
    return align;
}

Status StringFormat::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status StringFormat::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

} // namespace Gdiplus
