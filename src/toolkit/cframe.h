#pragma once
#include "toolkit/cview.h"
#include "toolkit/platform_frame.h"

#include <gdiplus.h>

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace VSTGUI {

class VSTGUIEditorInterface;

// The editor's top view: owns its child views, routes the mouse and the
// keyboard to them, collects invalidated areas and paints into one 32-bit
// premultiplied back buffer, which a window backend copies to the screen (or
// a test reads back). Backends only turn their native events into the input
// calls below; everything else happens here and in the views.
class CFrame : public CView {
public:
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    // Shows the frame in a window inside parent (a host's window); false when
    // no window could be made. close destroys the window; the frame and its
    // views stay until the frame is deleted.
    bool open(void* parent, PlatformType type = PlatformType::kDefaultNative,
              IPlatformFrameConfig* config = nullptr);
    void close();
    IPlatformFrame* getPlatformFrame() const { return platformFrame.get(); }
    // Repaints and shows what was invalidated; the event loop calls it.
    void idle();

    // Takes ownership; later views draw on top of earlier ones.
    bool addView(CView* view);
    // Lets every view end what it has under way (an edit, a drag), then
    // destroys them.
    void removeAll();
    int getNbViews() const { return static_cast<int>(views.size()); }
    CView* getView(int index) const;
    // The topmost direct child whose mouseable area holds the point.
    CView* getViewAt(const CPoint& where) const;

    void setBackgroundColor(Gdiplus::ARGB color) { backgroundColor = color; }
    Gdiplus::ARGB getBackgroundColor() const { return backgroundColor; }

    // The drawing's scale on the display: the window and the back buffer
    // are this many device pixels per frame pixel, everything is drawn at
    // that size, and backends map device coordinates back with
    // deviceToFrame. 1 by default.
    void setScaleFactor(double factor);
    double getScaleFactor() const { return scaleFactor; }
    // The window's size in device pixels.
    CRect getDeviceSize() const;
    // Whole device pixels covering a frame rectangle, and back.
    CRect frameToDevice(const CRect& rect) const;
    CPoint deviceToFrame(const CPoint& point) const;

    // Collects the area to repaint; cleared by render and renderInvalid.
    void invalidRect(const CRect& rect);
    // Everything invalid, as one rectangle.
    const CRect& getInvalidArea() const { return invalidArea; }

    // Paints the whole frame into the back buffer and returns it (owned by
    // the frame; null if the bitmap cannot be created).
    Gdiplus::Bitmap* render();
    // Repaints only what was invalidated (all of it the first time) and
    // returns the rectangles repainted in device pixels, for a backend to
    // copy to its window.
    std::vector<CRect> renderInvalid();
    Gdiplus::Bitmap* getBackBuffer() const { return backBuffer.get(); }
    // The back buffer's memory, for backends to copy from without locking
    // the bitmap: rows of stride bytes, B, G, R and A per pixel,
    // premultiplied; null before the first render.
    const std::uint8_t* getBackBufferPixels() const { return backBuffer ? backBufferPixels.data() : nullptr; }
    int getBackBufferStride() const { return backBufferStride; }

    // Input from a window backend, in frame coordinates. A view that takes a
    // mouse-down keeps the mouse until the button is released.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;
    // The wheel goes to the view under the pointer.
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    // Keys go to the focus view; Tab (alone or with Shift) moves the focus
    // when the view does not use it. 1 when used, -1 for keys the window
    // should pass on to the host. A release answers as its press did, so a
    // host is given both halves of the keys it gets.
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    std::int32_t onKeyUp(VstKeyCode& keyCode) override;

    CView* getFocusView() const { return focusView; }
    // Whether a click at where went to the focus view: the keyboard is then
    // the editor's until the user turns elsewhere.
    bool isFocusViewAt(const CPoint& where) const;
    void setFocusView(CView* view);
    // Where the pointer was last seen, if it has been.
    bool getCurrentMouseLocation(CPoint& where) const;
    CView* getMouseDownView() const { return mouseDownView; }

    // The editor's knob mode, or kDefaultKnobMode when it has none.
    std::int32_t getKnobMode() const;
    static std::int32_t kDefaultKnobMode;

    // From controls, on to the editor.
    void beginEdit(std::int32_t index);
    void endEdit(std::int32_t index);
    VSTGUIEditorInterface* getEditor() const { return editor; }

private:
    // The view under the pointer (or the one dragging) takes the press.
    CMouseEventResult dispatchMouseDown(CPoint& where, const CButtonState& buttons);
    void paint(Gdiplus::Graphics& graphics, const CRect& area);
    bool ensureBackBuffer();
    void advanceFocus(bool backwards);

    std::vector<std::unique_ptr<CView>> views;
    std::unique_ptr<IPlatformFrame> platformFrame;
    std::vector<std::uint8_t> backBufferPixels;
    int backBufferStride = 0;
    std::unique_ptr<Gdiplus::Bitmap> backBuffer;
    bool backBufferPainted = false;
    Gdiplus::ARGB backgroundColor = 0xFF000000;
    double scaleFactor = 1;
    CRect invalidArea;
    std::vector<CRect> invalidRects;
    CView* mouseDownView = nullptr;
    CView* focusView = nullptr;
    std::bitset<256> keysUsed; // by virtual key, pressed and used
    std::optional<CPoint> mouseLocation;
    VSTGUIEditorInterface* editor;
};

} // namespace VSTGUI
