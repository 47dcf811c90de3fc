#pragma once
#include "toolkit/cview.h"

#include <gdiplus.h>

#include <memory>
#include <vector>

namespace VSTGUI {

class VSTGUIEditorInterface;

// The editor's top view: owns its child views, collects invalidated areas and
// paints everything into one 32-bit premultiplied back buffer, which a
// window backend copies to the screen (or a test reads back).
class CFrame : public CView {
public:
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    // Takes ownership; later views draw on top of earlier ones.
    bool addView(CView* view);
    void removeAll();
    int getNbViews() const { return static_cast<int>(views.size()); }
    CView* getView(int index) const;
    // The topmost direct child whose size contains the point.
    CView* getViewAt(const CPoint& where) const;

    void setBackgroundColor(Gdiplus::ARGB color) { backgroundColor = color; }
    Gdiplus::ARGB getBackgroundColor() const { return backgroundColor; }

    // Accumulates the dirty area; cleared by render.
    void invalidRect(const CRect& rect);
    const CRect& getInvalidArea() const { return invalidArea; }

    // Paints the whole frame into the back buffer and returns it (owned by
    // the frame; null if the bitmap cannot be created).
    Gdiplus::Bitmap* render();

    VSTGUIEditorInterface* getEditor() const { return editor; }

private:
    std::vector<std::unique_ptr<CView>> views;
    std::unique_ptr<Gdiplus::Bitmap> backBuffer;
    Gdiplus::ARGB backgroundColor = 0xFF000000;
    CRect invalidArea;
    VSTGUIEditorInterface* editor;
};

} // namespace VSTGUI
