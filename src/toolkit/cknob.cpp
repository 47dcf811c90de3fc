#include "toolkit/cknob.h"

#include "toolkit/cbitmap.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace VSTGUI {

CKnob::CKnob(const CRect& size, IControlListener* knobListener, std::int32_t knobTag,
             std::shared_ptr<CBitmap> background, std::shared_ptr<CBitmap> handle, const CPoint& backgroundOffset)
    : CControl(size, knobListener, knobTag, std::move(background)), offset(backgroundOffset),
      handleBitmap(std::move(handle))
{
    // From the lower left through the top to the lower right.
    setStartAngle(float(3 * std::numbers::pi / 4));
    setRangeAngle(float(3 * std::numbers::pi / 2));
    inset = handleBitmap ? CCoord(float(handleBitmap->getWidth()) / 2.0f + 2.5f) : 3;
    setWantsFocus(true);
}

CKnob::~CKnob() = default;

void CKnob::draw(CDrawContext* context)
{
    drawBackground(context, offset);
    // Without artwork of its own the knob shows a line from the centre
    // towards the value.
    auto* gdiplus = dynamic_cast<GdiplusDrawContext*>(context);
    if (gdiplus && gdiplus->getGraphics() && !handleBitmap) {
        const CRect& size = getViewSize();
        const CPoint centre = size.getCenter();
        const auto angle = static_cast<double>(startAngle + getValueNormalized() * rangeAngle);
        const double radius = std::min(size.getWidth(), size.getHeight()) / 2 - inset;
        Gdiplus::Pen pen(Gdiplus::Color(0xFFFFFFFF), 1.0f);
        gdiplus->getGraphics()->DrawLine(&pen, float(centre.x), float(centre.y),
                                         float(centre.x + std::cos(angle) * radius),
                                         float(centre.y + std::sin(angle) * radius));
    }
    setDirty(false);
}

void CKnob::setStartAngle(float val)
{
    startAngle = val;
    compute();
}

void CKnob::setRangeAngle(float val)
{
    rangeAngle = val;
    compute();
}

void CKnob::compute() { setDirty(); }

void CKnob::setViewSize(const CRect& rect, bool invalidate)
{
    CControl::setViewSize(rect, invalidate);
    compute();
}

float CKnob::valueFromPoint(CPoint& point) const
{
    const double halfRange = double(rangeAngle) * 0.5;
    const double middleAngle = double(startAngle) + halfRange;
    const CPoint centre(getViewSize().getWidth() / 2, getViewSize().getHeight() / 2);
    const double dx = (point.x - centre.x) / (centre.x - inset);
    const double dy = (point.y - centre.y) / (centre.y - inset);

    double alpha = std::atan2(dy, dx) - middleAngle;
    while (alpha >= std::numbers::pi)
        alpha -= 2 * std::numbers::pi;
    while (alpha < -std::numbers::pi)
        alpha += 2 * std::numbers::pi;
    if (halfRange < 0)
        alpha = -alpha;
    if (alpha > halfRange)
        return getMax();
    if (alpha < -halfRange)
        return getMin();
    return getMin() + float(0.5 + alpha / double(rangeAngle)) * getRange();
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    // Another button pressed while the drag goes on (the window system still
    // reports the left one held): the drag and its one edit carry on.
    if (mouseState)
        return kMouseEventHandled;
    if (checkDefaultValue(buttons))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;

    endWheelEdit();
    beginEdit();
    mouseState = std::make_unique<MouseEditingState>();
    MouseEditingState& state = *mouseState;
    state.firstPoint = where;
    state.entryValue = value;
    state.startValue = value;
    state.range = linearRange;
    state.coef = getRange() / state.range;
    state.oldButton = buttons;

    std::int32_t mode = kCircularMode;
    const std::int32_t frameMode = getFrame() ? getFrame()->getKnobMode() : std::int32_t(kCircularMode);
    if (frameMode == kLinearMode) {
        if (!(buttons & kAlt))
            mode = kLinearMode;
    } else if (buttons & kAlt) {
        mode = kLinearMode;
    }

    if (mode == kLinearMode) {
        if (buttons & kZoomModifier)
            state.range *= zoomFactor;
        state.linear = true;
        state.coef = getRange() / state.range;
    } else {
        CPoint local(where);
        local.offset(-getViewSize().left, -getViewSize().top);
        state.startValue = valueFromPoint(local);
    }
    state.lastPoint = where;
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() || !mouseState || !isEditing())
        return kMouseEventNotHandled;
    MouseEditingState& state = *mouseState;
    if (where == state.lastPoint)
        return kMouseEventHandled;
    state.lastPoint = where;

    float newValue;
    if (state.linear) {
        const CCoord diff = (state.firstPoint.y - where.y) + (where.x - state.firstPoint.x);
        // Pressing or releasing Shift mid-drag changes the speed from here on
        // without a jump.
        if (buttons != state.oldButton) {
            state.range = linearRange;
            if (buttons & kZoomModifier)
                state.range *= zoomFactor;
            const float coef = getRange() / state.range;
            state.entryValue += float(diff * double(state.coef - coef));
            state.coef = coef;
            state.oldButton = buttons;
        }
        newValue = std::clamp(float(double(state.entryValue) + diff * double(state.coef)), getMin(), getMax());
    } else {
        CPoint local(where);
        local.offset(-getViewSize().left, -getViewSize().top);
        newValue = valueFromPoint(local);
        // Crossing the gap at the bottom does not jump from one end to the
        // other: the knob stays at the end it came from.
        const float middle = getRange() * 0.5f;
        if (state.startValue - newValue > middle)
            newValue = getMax();
        else if (newValue - state.startValue > middle)
            newValue = getMin();
        else
            state.startValue = newValue;
    }
    // Through setValue, so a knob that snaps to steps never reports a value
    // between them.
    setValue(newValue);
    if (value != getOldValue())
        valueChanged();
    if (isDirty())
        invalid();
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&)
{
    if (mouseState) {
        mouseState.reset();
        endEdit();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseCancel()
{
    if (mouseState) {
        setValue(mouseState->entryValue);
        mouseState.reset();
        if (isDirty()) {
            valueChanged();
            invalid();
        }
        endEdit();
    }
    return kMouseEventHandled;
}

void CKnob::stepBy(float distance, bool fine)
{
    const float step = distance * getWheelInc() * (fine ? 0.1f : 1.0f);
    setValueNormalized(getValueNormalized() + step);
}

bool CKnob::onWheel(const CPoint&, const CMouseWheelAxis& axis, const float& distance, const CButtonState& buttons)
{
    if (!getMouseEnabled() || axis != kMouseWheelAxisY)
        return false;
    // One edit for a run of notches: it ends once the wheel rests.
    if (!isEditing())
        beginEdit();
    if (!wheelEditTimer)
        wheelEditTimer = std::make_unique<CVSTGUITimer>(
            [this](CVSTGUITimer*) { endWheelEdit(); }, wheelEditEndDelay, false);
    wheelEditTimer->start();

    stepBy(distance, (buttons & kZoomModifier) != 0);
    if (isDirty()) {
        invalid();
        valueChanged();
    }
    return true;
}

void CKnob::endWheelEdit()
{
    if (!wheelEditTimer || !wheelEditTimer->isRunning())
        return;
    wheelEditTimer->stop();
    endEdit();
}

std::int32_t CKnob::onKeyDown(VstKeyCode& keyCode)
{
    switch (keyCode.virt) {
    case VKEY_UP:
    case VKEY_RIGHT:
    case VKEY_DOWN:
    case VKEY_LEFT: {
        // With Control, Alt or the command key held an arrow is the host's.
        if (keyCode.modifier & (MODIFIER_CONTROL | MODIFIER_ALTERNATE | MODIFIER_COMMAND))
            return -1;
        const float distance = keyCode.virt == VKEY_DOWN || keyCode.virt == VKEY_LEFT ? -1.0f : 1.0f;
        const bool fine = (kZoomModifier & kShift) && (keyCode.modifier & MODIFIER_SHIFT);
        stepBy(distance, fine);
        if (isDirty()) {
            invalid();
            beginEdit();
            valueChanged();
            endEdit();
        }
        return 1;
    }
    case VKEY_ESCAPE:
        if (mouseState) {
            onMouseCancel();
            return 1;
        }
        return -1;
    default:
        return -1;
    }
}

void CKnob::removed()
{
    endWheelEdit();
    mouseState.reset();
    CControl::removed();
}

} // namespace VSTGUI
