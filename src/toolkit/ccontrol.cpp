#include "toolkit/ccontrol.h"

#include "toolkit/cframe.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

std::int32_t CControl::kZoomModifier = kShift;
std::int32_t CControl::kDefaultValueModifier = kControl;

CControl::CControl(const CRect& size, IControlListener* controlListener, std::int32_t controlTag,
                   std::shared_ptr<CBitmap> background)
    : CView(size), listener(controlListener), tag(controlTag)
{
    setTransparency(false);
    setMouseEnabled(true);
    if (background)
        setBackground(std::move(background));
}

void CControl::setValue(float val)
{
    // A value that is not a number cannot be shown or sent on; it counts as
    // the maximum, as everywhere in the plug-in.
    if (std::isnan(val))
        val = getMax();
    val = std::clamp(val, getMin(), getMax());
    if (val != value) {
        value = val;
        changed(kMessageValueChanged);
    }
}

void CControl::setValueNormalized(float val)
{
    setValue(getRange() * std::clamp(val, 0.0f, 1.0f) + getMin());
}

float CControl::getValueNormalized() const { return getRange() != 0 ? (value - getMin()) / getRange() : 0.0f; }

void CControl::valueChanged()
{
    if (listener)
        listener->valueChanged(this);
}

void CControl::beginEdit()
{
    if (++editing != 1)
        return;
    if (listener)
        listener->controlBeginEdit(this);
    if (CFrame* owner = getFrame())
        owner->beginEdit(tag);
}

void CControl::endEdit()
{
    if (editing == 0)
        return;
    if (--editing != 0)
        return;
    if (CFrame* owner = getFrame())
        owner->endEdit(tag);
    if (listener)
        listener->controlEndEdit(this);
}

bool CControl::isDirty() const { return getOldValue() != value || CView::isDirty(); }

void CControl::setDirty(bool state)
{
    CView::setDirty(state);
    if (state)
        setOldValue(value != -1.0f ? -1.0f : 0.0f);
    else
        setOldValue(value);
}

void CControl::removed()
{
    // An edit the host was told of must be closed, or the host keeps the
    // parameter locked against automation.
    while (isEditing())
        endEdit();
    CView::removed();
}

void CControl::bounceValue() { value = std::clamp(value, getMin(), getMax()); }

bool CControl::checkDefaultValue(CButtonState button)
{
    if (!button.isLeftButton() || button.getModifierState() != kDefaultValueModifier)
        return false;
    if (getDefaultValue() != getValue()) {
        beginEdit();
        setValue(getDefaultValue());
        valueChanged();
        endEdit();
    }
    return true;
}

void CControl::addDependent(CBaseObject* dependent)
{
    if (dependent && std::find(dependents.begin(), dependents.end(), dependent) == dependents.end())
        dependents.push_back(dependent);
}

void CControl::removeDependent(CBaseObject* dependent)
{
    dependents.erase(std::remove(dependents.begin(), dependents.end(), dependent), dependents.end());
}

void CControl::changed(IdStringPtr message)
{
    const std::vector<CBaseObject*> listeners = dependents;
    for (CBaseObject* dependent : listeners)
        dependent->notify(this, message);
}

} // namespace VSTGUI
