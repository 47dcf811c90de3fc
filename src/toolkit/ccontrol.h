#pragma once
// A view with a value between a minimum and a maximum, a tag that names what
// it controls, and a listener told of every edit.

#include "toolkit/cview.h"
#include "toolkit/icontrollistener.h"

#include <cstdint>
#include <vector>

namespace VSTGUI {

class CControl : public CView {
public:
    CControl(const CRect& size, IControlListener* listener = nullptr, std::int32_t tag = 0,
             std::shared_ptr<CBitmap> background = nullptr);

    // Clamps to the range; dependents hear kMessageValueChanged when the
    // value changes.
    virtual void setValue(float val);
    float getValue() const { return value; }
    // 0..1 over the range, clamped.
    virtual void setValueNormalized(float val);
    float getValueNormalized() const;

    virtual void setMin(float val) { vmin = val; }
    float getMin() const { return vmin; }
    virtual void setMax(float val) { vmax = val; }
    float getMax() const { return vmax; }
    float getRange() const { return vmax - vmin; }
    void setDefaultValue(float val) { defaultValue = val; }
    float getDefaultValue() const { return defaultValue; }
    // The value last drawn; differs from the value while a change is not yet
    // on screen.
    float getOldValue() const { return oldValue; }
    void setOldValue(float val) { oldValue = val; }
    // How far one wheel notch or arrow key moves the normalised value.
    void setWheelInc(float val) { wheelInc = val; }
    float getWheelInc() const { return wheelInc; }

    std::int32_t getTag() const { return tag; }
    void setTag(std::int32_t val) { tag = val; }
    IControlListener* getListener() const { return listener; }
    void setListener(IControlListener* newListener) { listener = newListener; }

    // Tells the listener of the current value.
    virtual void valueChanged();
    // Edits nest: the listener hears only the outermost begin and end.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }

    bool isDirty() const override;
    void setDirty(bool state = true) override;
    void removed() override;

    // Clamps the value to the range without notifying anyone.
    void bounceValue();
    // A left click with exactly the default-value modifier returns the value
    // to its default as one complete edit; true when the click was that.
    bool checkDefaultValue(CButtonState button);

    // Views that follow the value without being its listener.
    void addDependent(CBaseObject* dependent);
    void removeDependent(CBaseObject* dependent);

    static constexpr IdStringPtr kMessageValueChanged = "kMessageValueChanged";
    // The modifier for fine adjustment, and the one whose click resets.
    static std::int32_t kZoomModifier;
    static std::int32_t kDefaultValueModifier;

protected:
    void changed(IdStringPtr message);

    IControlListener* listener;
    std::int32_t tag;
    float oldValue = 1;
    float defaultValue = 0.5f;
    float value = 0;
    float vmin = 0;
    float vmax = 1;
    float wheelInc = 0.1f;
    std::int32_t editing = 0;

private:
    std::vector<CBaseObject*> dependents;
};

} // namespace VSTGUI
