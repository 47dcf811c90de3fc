#include "toolkit/cview.h"

#include "framework/scrambled_text.h"
#include "toolkit/cframe.h"

#include <stdexcept>

namespace VSTGUI {

CView::CView(const CRect& initialSize) : viewSize(initialSize) {}

void CView::draw(CDrawContext*) { setDirty(false); }

void CView::setProperty(const std::string& name, const picojson::value& value)
{
    if (name != VANTLE_TEXT("size"))
        throw std::logic_error(VANTLE_TEXT("setProperty ") + name + VANTLE_TEXT(" ") + value.serialize() +
                               VANTLE_TEXT(" not found"));
    const auto& elements = value.get<picojson::array>();
    if (elements.size() < 4)
        throw std::out_of_range(VANTLE_TEXT("invalid vector<T> subscript"));
    const CRect rect(elements[0].get<double>(), elements[1].get<double>(), elements[2].get<double>(),
                     elements[3].get<double>());
    if (rect == viewSize)
        return;
    invalid();
    setViewSize(rect, true);
}

void CView::setViewSize(const CRect& rect, bool invalidate)
{
    viewSize = rect;
    if (invalidate)
        invalid();
}

void CView::invalid() { invalidRect(viewSize); }

void CView::invalidRect(const CRect& rect)
{
    setDirty(true);
    if (frame)
        frame->invalidRect(rect);
}

} // namespace VSTGUI
