#pragma once
// What a control tells its owner: the start and end of an edit, each value
// change in between, and clicks with modifier keys or the right button
// (which the owner may take, for a context menu for example).

#include "toolkit/cbuttonstate.h"

#include <cstdint>

namespace VSTGUI {

class CControl;

class IControlListener {
public:
    virtual ~IControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    // Non-zero when the listener took the click; the control then never sees it.
    virtual std::int32_t controlModifierClicked(CControl* control, CButtonState button)
    {
        (void)control;
        (void)button;
        return 0;
    }
    virtual void controlBeginEdit(CControl* control) { (void)control; }
    virtual void controlEndEdit(CControl* control) { (void)control; }
};

} // namespace VSTGUI
