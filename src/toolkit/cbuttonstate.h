#pragma once
// Mouse buttons and modifier keys as one bit set, and what a view answers to a
// mouse event.

#include <cstdint>

namespace VSTGUI {

enum CButton : std::int32_t {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    kApple = 1 << 7,
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10,
};

class CButtonState {
public:
    CButtonState(std::int32_t buttonState = 0) : state(buttonState) {}

    std::int32_t operator()() const { return state; }
    std::int32_t operator&(std::int32_t mask) const { return state & mask; }
    bool operator==(const CButtonState& other) const = default;

    std::int32_t getButtonState() const { return state & (kLButton | kMButton | kRButton | kButton4 | kButton5); }
    std::int32_t getModifierState() const { return state & (kShift | kControl | kAlt | kApple); }
    bool isLeftButton() const { return (state & kLButton) != 0; }
    bool isRightButton() const { return (state & kRButton) != 0; }
    bool isDoubleClick() const { return (state & kDoubleClick) != 0; }

private:
    std::int32_t state;
};

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
    kMouseMoveEventHandledButDontNeedMoreEvents,
};

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

// How a knob follows a drag: the angle to the pointer, or the distance moved.
enum CKnobMode : std::int32_t { kCircularMode = 0, kRelativCircularMode, kLinearMode };

} // namespace VSTGUI
