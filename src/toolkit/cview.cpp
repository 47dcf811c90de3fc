#include "toolkit/cview.h"

#include "framework/scrambled_text.h"
#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"

#include <stdexcept>

namespace VSTGUI {

CView::CView(const CRect& initialSize) : viewSize(initialSize), mouseableArea(initialSize) {}

CView::~CView() = default;

void CView::draw(CDrawContext* context)
{
    drawBackground(context);
    setDirty(false);
}

void CView::drawBackground(CDrawContext* context, const CPoint& offset)
{
    if (backgroundBitmap)
        backgroundBitmap->draw(context, viewSize, offset);
}

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
    if (invalidate) {
        invalidRect(viewSize);
        setDirty(true);
    }
}

void CView::invalid()
{
    setDirty(false);
    invalidRect(viewSize);
}

void CView::invalidRect(const CRect& rect)
{
    if (frame)
        frame->invalidRect(rect);
}

void CView::setBackground(std::shared_ptr<CBitmap> bitmap)
{
    backgroundBitmap = std::move(bitmap);
    invalid();
}

bool CView::hitTest(const CPoint& where, const CButtonState&) { return mouseableArea.pointInside(where); }

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseCancel() { return kMouseEventNotImplemented; }

bool CView::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&) { return false; }

std::int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
std::int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

} // namespace VSTGUI
