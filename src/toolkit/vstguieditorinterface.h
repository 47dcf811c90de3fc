#pragma once
// What a frame asks of the editor that owns it.

#include "toolkit/cpoint.h"

#include <cstdint>

namespace VSTGUI {

class CFrame;

class VSTGUIEditorInterface {
public:
    virtual ~VSTGUIEditorInterface() = default;

    // Edits are reported to the host by the control listener; the frame only
    // passes these on.
    virtual void beginEdit(std::int32_t index) { (void)index; }
    virtual void endEdit(std::int32_t index) { (void)index; }
    // The host's knob mode (a CKnobMode), or -1 to use the frame's default.
    virtual std::int32_t getKnobMode() const { return -1; }
    // A right click that no view took (the editor's background): true if
    // the editor showed a menu for it.
    virtual bool onBackgroundContextMenu(const CPoint& where)
    {
        (void)where;
        return false;
    }

    CFrame* getFrame() const { return frame; }

protected:
    CFrame* frame = nullptr;
};

} // namespace VSTGUI
