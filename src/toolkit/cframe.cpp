#include "toolkit/cframe.h"

#include "toolkit/ccontrol.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/vstguieditorinterface.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

namespace {

// More separate areas than this are repainted as one.
constexpr std::size_t maxInvalidRects = 8;

// Whole pixels covering the rectangle, inside bounds.
CRect pixelArea(const CRect& rect, const CRect& bounds)
{
    CRect area(std::floor(rect.left), std::floor(rect.top), std::ceil(rect.right), std::ceil(rect.bottom));
    area.left = std::max(area.left, bounds.left);
    area.top = std::max(area.top, bounds.top);
    area.right = std::min(area.right, bounds.right);
    area.bottom = std::min(area.bottom, bounds.bottom);
    return area;
}

Gdiplus::RectF toRectF(const CRect& rect)
{
    return Gdiplus::RectF(float(rect.left), float(rect.top), float(rect.getWidth()), float(rect.getHeight()));
}

CRect intersection(const CRect& a, const CRect& b)
{
    return CRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom));
}

} // namespace

std::int32_t CFrame::kDefaultKnobMode = kCircularMode;

CFrame::CFrame(const CRect& frameSize, VSTGUIEditorInterface* editorInterface) : CView(frameSize), editor(editorInterface)
{
    CView::attached(this);
}

CFrame::~CFrame()
{
    // Views first: ending their edits may still invalidate the frame.
    removeAll();
    platformFrame.reset();
}

bool CFrame::open(void* parent, PlatformType type, IPlatformFrameConfig* config)
{
    if (platformFrame)
        return false;
    platformFrame = makePlatformFrame(*this, parent, type, config);
    return platformFrame != nullptr;
}

void CFrame::close()
{
    // A drag the window takes with it ends where it got to.
    if (CView* view = mouseDownView) {
        mouseDownView = nullptr;
        CPoint where = mouseLocation.value_or(CPoint());
        view->onMouseUp(where, 0);
    }
    platformFrame.reset();
}

void CFrame::idle()
{
    // A control set from outside (the host moving a parameter) has a new
    // value but no invalidation: it is dirty until drawn.
    for (const auto& view : views)
        if (view->isDirty())
            view->invalid();
    if (platformFrame)
        platformFrame->update();
}

bool CFrame::addView(CView* view)
{
    if (!view)
        return false;
    views.emplace_back(view);
    view->attached(this);
    view->invalid();
    return true;
}

void CFrame::removeAll()
{
    mouseDownView = nullptr;
    focusView = nullptr;
    for (const auto& view : views)
        view->removed();
    views.clear();
}

CView* CFrame::getView(int index) const
{
    return index >= 0 && index < getNbViews() ? views[static_cast<size_t>(index)].get() : nullptr;
}

CView* CFrame::getViewAt(const CPoint& where) const
{
    for (auto it = views.rbegin(); it != views.rend(); ++it)
        if ((*it)->getMouseableArea().pointInside(where))
            return it->get();
    return nullptr;
}

void CFrame::invalidRect(const CRect& rect)
{
    const CRect area = pixelArea(rect, getViewSize());
    if (area.isEmpty())
        return;
    invalidArea.unite(area);
    CRect merged = area;
    // Overlapping areas become one, so nothing is painted twice.
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = invalidRects.begin(); it != invalidRects.end(); ++it)
            if (it->rectOverlap(merged)) {
                merged.unite(*it);
                invalidRects.erase(it);
                grew = true;
                break;
            }
    }
    invalidRects.push_back(merged);
    if (invalidRects.size() > maxInvalidRects)
        invalidRects.assign(1, invalidArea);
}

void CFrame::setScaleFactor(double factor)
{
    // Beyond these a window would be unusable; not a number counts as 1.
    factor = std::isfinite(factor) ? std::clamp(factor, 0.25, 8.0) : 1.0;
    if (factor == scaleFactor)
        return;
    scaleFactor = factor;
    backBufferPainted = false;
    invalidRects.clear();
    invalidArea = CRect();
    if (platformFrame)
        platformFrame->setSize(getDeviceSize());
}

CRect CFrame::getDeviceSize() const { return frameToDevice(CRect(0, 0, getViewSize().getWidth(), getViewSize().getHeight())); }

CRect CFrame::frameToDevice(const CRect& rect) const
{
    return CRect(std::floor(rect.left * scaleFactor), std::floor(rect.top * scaleFactor),
                 std::ceil(rect.right * scaleFactor - 1e-9), std::ceil(rect.bottom * scaleFactor - 1e-9));
}

CPoint CFrame::deviceToFrame(const CPoint& point) const { return CPoint(point.x / scaleFactor, point.y / scaleFactor); }

bool CFrame::ensureBackBuffer()
{
    const CRect area = getDeviceSize();
    const int width = static_cast<int>(area.getWidth());
    const int height = static_cast<int>(area.getHeight());
    if (backBuffer && static_cast<int>(backBuffer->GetWidth()) == width &&
        static_cast<int>(backBuffer->GetHeight()) == height)
        return true;
    backBufferPainted = false;
    backBuffer.reset();
    if (width <= 0 || height <= 0)
        return false;
    // Memory of the frame's own, which the window backends copy from.
    backBufferStride = width * 4;
    backBufferPixels.assign(std::size_t(backBufferStride) * std::size_t(height), 0);
    backBuffer = std::make_unique<Gdiplus::Bitmap>(width, height, backBufferStride, PixelFormat32bppPARGB,
                                                   backBufferPixels.data());
    if (backBuffer->GetLastStatus() == Gdiplus::Ok)
        return true;
    backBuffer.reset();
    return false;
}

void CFrame::paint(Gdiplus::Graphics& graphics, const CRect& area)
{
    // The area's own clip in whole device pixels, so that neighbouring
    // areas meet exactly at any scale; then everything at the scale.
    graphics.SetPageUnit(Gdiplus::UnitPixel);
    graphics.SetPageScale(1.0f);
    graphics.SetClip(toRectF(frameToDevice(area)));
    graphics.Clear(Gdiplus::Color(backgroundColor));
    graphics.SetPageScale(float(scaleFactor));
    GdiplusDrawContext context(&graphics);
    // Each view draws inside its own size: that is what its invalidation
    // covers.
    for (const auto& view : views) {
        // Whole pixels: a view's size may fall between pixels, and its
        // outermost ink with it.
        const CRect clip = intersection(pixelArea(view->getViewSize(), getViewSize()), area);
        if (clip.isEmpty())
            continue;
        const Gdiplus::GraphicsState state = graphics.Save();
        // Clips set in device pixels, with no transform in effect: a clip set
        // under a scale would be moved by any later turn of the drawing.
        graphics.SetPageScale(1.0f);
        graphics.IntersectClip(toRectF(frameToDevice(clip)));
        graphics.SetPageScale(float(scaleFactor));
        view->draw(&context);
        graphics.Restore(state);
    }
    graphics.ResetClip();
}

Gdiplus::Bitmap* CFrame::render()
{
    if (!ensureBackBuffer())
        return nullptr;
    {
        Gdiplus::Graphics graphics(backBuffer.get());
        paint(graphics, getViewSize());
    }
    invalidArea = CRect();
    invalidRects.clear();
    backBufferPainted = true;
    setDirty(false);
    return backBuffer.get();
}

std::vector<CRect> CFrame::renderInvalid()
{
    if (!backBufferPainted || !backBuffer) {
        if (!render())
            return {};
        return {getDeviceSize()};
    }
    std::vector<CRect> painted;
    painted.swap(invalidRects);
    invalidArea = CRect();
    if (!painted.empty()) {
        Gdiplus::Graphics graphics(backBuffer.get());
        for (CRect& area : painted) {
            paint(graphics, area);
            area = frameToDevice(area);
        }
    }
    return painted;
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    const CMouseEventResult result = dispatchMouseDown(where, buttons);
    const bool taken = result == kMouseEventHandled || result == kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (!taken && buttons.isRightButton() && editor && editor->onBackgroundContextMenu(where))
        return kMouseEventHandled;
    return result;
}

CMouseEventResult CFrame::dispatchMouseDown(CPoint& where, const CButtonState& buttons)
{
    mouseLocation = where;
    if (mouseDownView) {
        CPoint local(where);
        return mouseDownView->onMouseDown(local, buttons);
    }
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* view = it->get();
        if (!view->getMouseEnabled() || !view->hitTest(where, buttons))
            continue;
        // Modifier and right clicks go to the control's listener first.
        auto* control = dynamic_cast<CControl*>(view);
        if (control && control->getListener() && (buttons & (kAlt | kShift | kControl | kApple | kRButton)) &&
            control->getListener()->controlModifierClicked(control, buttons) != 0)
            return kMouseEventHandled;
        if (view->wantsFocus())
            setFocusView(view);
        CPoint local(where);
        const CMouseEventResult result = view->onMouseDown(local, buttons);
        if (result == kMouseEventHandled)
            mouseDownView = view;
        if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented)
            return result;
        if (!view->getTransparency())
            return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    mouseLocation = where;
    if (!mouseDownView)
        return kMouseEventNotHandled;
    CPoint local(where);
    const CMouseEventResult result = mouseDownView->onMouseMoved(local, buttons);
    if (result == kMouseMoveEventHandledButDontNeedMoreEvents)
        mouseDownView = nullptr;
    return result;
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    mouseLocation = where;
    CView* view = mouseDownView;
    mouseDownView = nullptr;
    if (!view)
        return kMouseEventNotHandled;
    CPoint local(where);
    return view->onMouseUp(local, buttons);
}

CMouseEventResult CFrame::onMouseCancel()
{
    CView* view = mouseDownView;
    mouseDownView = nullptr;
    return view ? view->onMouseCancel() : kMouseEventNotHandled;
}

bool CFrame::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                     const CButtonState& buttons)
{
    mouseLocation = where;
    // A drag owns the view it started on.
    if (mouseDownView)
        return false;
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* view = it->get();
        if (view->getMouseEnabled() && view->hitTest(where, buttons))
            return view->onWheel(where, axis, distance, buttons);
    }
    return false;
}

std::int32_t CFrame::onKeyDown(VstKeyCode& keyCode)
{
    std::int32_t result = focusView ? focusView->onKeyDown(keyCode) : -1;
    // Control-Tab and the like are the host's (switching its windows).
    const bool plainTab = keyCode.virt == VKEY_TAB && (keyCode.modifier & ~MODIFIER_SHIFT) == 0;
    if (result == -1 && plainTab) {
        advanceFocus((keyCode.modifier & MODIFIER_SHIFT) != 0);
        result = 1;
    }
    if (keyCode.virt != 0)
        keysUsed[keyCode.virt] = result == 1;
    return result;
}

std::int32_t CFrame::onKeyUp(VstKeyCode& keyCode)
{
    std::int32_t result = focusView ? focusView->onKeyUp(keyCode) : -1;
    if (keyCode.virt != 0 && keysUsed[keyCode.virt]) {
        keysUsed[keyCode.virt] = false;
        result = 1;
    }
    return result;
}

bool CFrame::isFocusViewAt(const CPoint& where) const
{
    CPoint point(where);
    return focusView && focusView->getMouseEnabled() && focusView->hitTest(point, kLButton);
}

void CFrame::setFocusView(CView* view)
{
    if (view == focusView)
        return;
    if (focusView)
        focusView->looseFocus();
    focusView = view;
    if (focusView)
        focusView->takeFocus();
}

void CFrame::advanceFocus(bool backwards)
{
    std::vector<CView*> candidates;
    for (const auto& view : views)
        if (view->wantsFocus() && view->getMouseEnabled())
            candidates.push_back(view.get());
    if (candidates.empty())
        return;
    const auto count = std::ptrdiff_t(candidates.size());
    std::ptrdiff_t index = backwards ? count - 1 : 0;
    for (std::ptrdiff_t i = 0; i < count; ++i)
        if (candidates[std::size_t(i)] == focusView)
            index = ((backwards ? i - 1 : i + 1) + count) % count;
    setFocusView(candidates[std::size_t(index)]);
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const
{
    if (!mouseLocation)
        return false;
    where = *mouseLocation;
    return true;
}

std::int32_t CFrame::getKnobMode() const
{
    const std::int32_t mode = editor ? editor->getKnobMode() : -1;
    return mode == -1 ? kDefaultKnobMode : mode;
}

void CFrame::beginEdit(std::int32_t index)
{
    if (editor)
        editor->beginEdit(index);
}

void CFrame::endEdit(std::int32_t index)
{
    if (editor)
        editor->endEdit(index);
}

} // namespace VSTGUI
