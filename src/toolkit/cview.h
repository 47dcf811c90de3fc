#pragma once
#include "toolkit/cbaseobject.h"
#include "toolkit/cbuttonstate.h"
#include "toolkit/crect.h"
#include "toolkit/vstkeycode.h"

#include <picojson.h>

#include <memory>
#include <string>

namespace VSTGUI {

class CBitmap;
class CDrawContext;
class CFrame;

class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);
    ~CView() override;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    virtual void draw(CDrawContext* context);
    // Draws the background bitmap, if one is set, over the view's area.
    void drawBackground(CDrawContext* context, const CPoint& offset = CPoint(0, 0));

    // The layout binding: sets a named attribute from a JSON value. The base
    // view knows only "size" (left, top, right, bottom) and throws for every
    // other name.
    virtual void setProperty(const std::string& name, const picojson::value& value);

    const CRect& getViewSize() const { return viewSize; }
    virtual void setViewSize(const CRect& rect, bool invalidate = true);
    // Where the mouse reaches the view; the size it was made with until set.
    const CRect& getMouseableArea() const { return mouseableArea; }
    virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }

    // Marks the view's current area for redrawing; the view counts as drawn
    // from here on (the frame will draw it).
    virtual void invalid();
    void invalidRect(const CRect& rect);

    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(bool state = true) { dirty = state; }

    void setBackground(std::shared_ptr<CBitmap> bitmap);
    CBitmap* getBackground() const { return backgroundBitmap.get(); }

    // Input. Coordinates are the frame's. The defaults take nothing.
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = CButtonState(-1));
    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    // The drag ended without a button release (the window lost the mouse,
    // Escape, the view is going away).
    virtual CMouseEventResult onMouseCancel();
    virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const CButtonState& buttons);
    // 1 when the key was used, -1 when not.
    virtual std::int32_t onKeyDown(VstKeyCode& keyCode);
    virtual std::int32_t onKeyUp(VstKeyCode& keyCode);

    bool getMouseEnabled() const { return mouseEnabled; }
    void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool wantsFocus() const { return focusWanted; }
    void setWantsFocus(bool state) { focusWanted = state; }
    // A transparent view that does not take a click lets the view below it
    // have it.
    bool getTransparency() const { return transparent; }
    void setTransparency(bool state) { transparent = state; }
    virtual void takeFocus() {}
    virtual void looseFocus() {}

    CFrame* getFrame() const { return frame; }
    // Called by the frame when the view joins it, and before the frame lets
    // it go: a view ends whatever it has under way there.
    virtual void attached(CFrame* owner) { frame = owner; }
    virtual void removed() { frame = nullptr; }

private:
    CRect viewSize;
    CRect mouseableArea;
    std::shared_ptr<CBitmap> backgroundBitmap;
    bool dirty = false;
    bool mouseEnabled = true;
    bool focusWanted = false;
    bool transparent = false;
    CFrame* frame = nullptr;
};

} // namespace VSTGUI
