#include "toolkit/cframe.h"

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

CFrame::CFrame(const CRect& frameSize, VSTGUIEditorInterface* editorInterface) : CView(frameSize), editor(editorInterface)
{
    attached(this);
}

CFrame::~CFrame() { removeAll(); }

bool CFrame::addView(CView* view)
{
    if (!view)
        return false;
    views.emplace_back(view);
    view->attached(this);
    view->invalid();
    return true;
}

void CFrame::removeAll() { views.clear(); }

CView* CFrame::getView(int index) const
{
    return index >= 0 && index < getNbViews() ? views[static_cast<size_t>(index)].get() : nullptr;
}

CView* CFrame::getViewAt(const CPoint& where) const
{
    for (auto it = views.rbegin(); it != views.rend(); ++it)
        if ((*it)->getViewSize().pointInside(where))
            return it->get();
    return nullptr;
}

void CFrame::invalidRect(const CRect& rect) { invalidArea.unite(rect); }

Gdiplus::Bitmap* CFrame::render()
{
    const CRect& area = getViewSize();
    const int width = static_cast<int>(area.getWidth());
    const int height = static_cast<int>(area.getHeight());
    if (!backBuffer || static_cast<int>(backBuffer->GetWidth()) != width ||
        static_cast<int>(backBuffer->GetHeight()) != height) {
        backBuffer = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
        if (backBuffer->GetLastStatus() != Gdiplus::Ok) {
            backBuffer.reset();
            return nullptr;
        }
    }
    Gdiplus::Graphics graphics(backBuffer.get());
    graphics.Clear(Gdiplus::Color(backgroundColor));
    GdiplusDrawContext context(&graphics);
    for (const auto& view : views)
        view->draw(&context);
    invalidArea = CRect();
    setDirty(false);
    return backBuffer.get();
}

} // namespace VSTGUI
