#pragma once
#include "toolkit/crect.h"

#include <picojson.h>

#include <string>

namespace VSTGUI {

class CDrawContext;
class CFrame;

class CView {
public:
    explicit CView(const CRect& size);
    virtual ~CView() = default;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    virtual void draw(CDrawContext* context);

    // The layout binding: sets a named attribute from a JSON value. The base
    // view knows only "size" (left, top, right, bottom) and throws for every
    // other name.
    virtual void setProperty(const std::string& name, const picojson::value& value);

    const CRect& getViewSize() const { return viewSize; }
    virtual void setViewSize(const CRect& rect, bool invalidate = true);

    // Marks the view's current area for redrawing.
    virtual void invalid();
    void invalidRect(const CRect& rect);

    bool isDirty() const { return dirty; }
    virtual void setDirty(bool state = true) { dirty = state; }

    CFrame* getFrame() const { return frame; }
    void attached(CFrame* owner) { frame = owner; }

private:
    CRect viewSize;
    bool dirty = false;
    CFrame* frame = nullptr;
};

} // namespace VSTGUI
