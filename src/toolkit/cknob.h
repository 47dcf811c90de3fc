#pragma once
// A rotary control. A drag turns it either by the pointer's angle around the
// centre (circular mode) or by the distance moved up and right (linear
// mode); the frame's knob mode chooses, and Alt chooses the other one for
// one drag. Shift drags finely in linear mode; Control-click returns the
// knob to its default; the wheel and the arrow keys step it.

#include "toolkit/ccontrol.h"
#include "toolkit/cvstguitimer.h"

#include <memory>

namespace VSTGUI {

class CKnob : public CControl {
public:
    CKnob(const CRect& size, IControlListener* listener, std::int32_t tag, std::shared_ptr<CBitmap> background,
          std::shared_ptr<CBitmap> handle, const CPoint& offset = CPoint(0, 0));
    ~CKnob() override;

    void draw(CDrawContext* context) override;

    // Radians; 0 points right, positive turns clockwise on screen.
    virtual void setStartAngle(float val);
    float getStartAngle() const { return startAngle; }
    virtual void setRangeAngle(float val);
    float getRangeAngle() const { return rangeAngle; }
    // How much finer a Shift drag is in linear mode.
    void setZoomFactor(float val) { zoomFactor = val; }
    float getZoomFactor() const { return zoomFactor; }
    // The distance from the view's edge at which circular mode measures.
    void setInsetValue(CCoord val) { inset = val; }
    CCoord getInsetValue() const { return inset; }
    const CPoint& getOffset() const { return offset; }

    void setViewSize(const CRect& rect, bool invalidate = true) override;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    // Puts back the value the drag started from and ends the edit.
    CMouseEventResult onMouseCancel() override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    void removed() override;

    // The value whose direction from the centre is the point (view
    // coordinates, origin at the view's top-left corner).
    virtual float valueFromPoint(CPoint& point) const;

    // One drag's distance over the full range in linear mode, in pixels.
    static constexpr float linearRange = 200.0f;
    // A wheel edit ends this long after the last notch.
    static constexpr std::uint32_t wheelEditEndDelay = 500;

protected:
    virtual void compute();
    // Wheel notches and arrow keys: one step of the wheel increment, a tenth
    // of it with the zoom modifier.
    void stepBy(float distance, bool fine);

    float startAngle = 0;
    float rangeAngle = 1;
    float zoomFactor = 1.5f;
    CCoord inset = 3;
    CPoint offset;
    std::shared_ptr<CBitmap> handleBitmap;

private:
    struct MouseEditingState {
        CPoint firstPoint;
        CPoint lastPoint;
        float startValue = 0;
        float entryValue = 0;
        float range = linearRange;
        float coef = 0;
        CButtonState oldButton;
        bool linear = false;
    };

    void endWheelEdit();

    std::unique_ptr<MouseEditingState> mouseState;
    std::unique_ptr<CVSTGUITimer> wheelEditTimer;
};

} // namespace VSTGUI
