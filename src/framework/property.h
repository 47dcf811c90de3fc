#pragma once
// Named, typed view attributes that the layout document sets from JSON.
// Every kind converts a JSON value completely before assigning it, so a
// failed conversion keeps the old value and runs no listener.

#include "framework/path_primitive.h"
#include "toolkit/cpoint.h"
#include "toolkit/crect.h"

#include <gdiplus.h>
#include <picojson.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vantle::vst {

class Property {
public:
    virtual void setJson(const picojson::value& json) = 0;
    virtual void addListener(std::function<void()> listener) = 0;

protected:
    // Properties are members of their views and never deleted through this
    // base.
    ~Property() = default;
};

template <typename T>
class SimpleProperty : public Property {
public:
    using ValueType = T;

    const T& get() const { return value; }

    // Listeners run on every assignment, even of an equal value.
    void set(T newValue)
    {
        value = std::move(newValue);
        for (const auto& listener : listeners)
            listener();
    }

    void addListener(std::function<void()> listener) override { listeners.push_back(std::move(listener)); }

protected:
    ~SimpleProperty() = default;

    T value{};
    std::vector<std::function<void()>> listeners;
};

template <typename T>
class SimplePropertyWithSet : public SimpleProperty<T> {
protected:
    ~SimplePropertyWithSet() = default;
};

// Each kind provides convert (JSON value and a starting value to the new
// value, or a throw) and setJson in terms of it.
#define VANTLE_PROPERTY_KIND(Name, Base, Type)                                                                         \
    class Name final : public Base<Type> {                                                                             \
    public:                                                                                                            \
        static Type convert(const picojson::value& json, const Type& current);                                          \
        void setJson(const picojson::value& json) override { this->set(convert(json, this->value)); }                 \
    }

VANTLE_PROPERTY_KIND(IntProperty, SimpleProperty, std::int32_t);
VANTLE_PROPERTY_KIND(DoubleProperty, SimplePropertyWithSet, double);
VANTLE_PROPERTY_KIND(StringProperty, SimplePropertyWithSet, std::string);
VANTLE_PROPERTY_KIND(ColorProperty, SimpleProperty, Gdiplus::Color);
VANTLE_PROPERTY_KIND(AlignmentProperty, SimpleProperty, Gdiplus::StringAlignment);
VANTLE_PROPERTY_KIND(PointProperty, SimpleProperty, VSTGUI::CPoint);
VANTLE_PROPERTY_KIND(RectProperty, SimpleProperty, VSTGUI::CRect);
VANTLE_PROPERTY_KIND(PathPrimitiveProperty, SimpleProperty, PathPrimitive);

#undef VANTLE_PROPERTY_KIND

// A JSON array read element by element with E's rules; every element starts
// from E's default value, and the vector is assigned only when all convert.
template <typename E>
class ArrayProperty final : public SimpleProperty<std::vector<typename E::ValueType>> {
public:
    using Element = typename E::ValueType;

    static std::vector<Element> convert(const picojson::value& json, const std::vector<Element>&)
    {
        const auto& elements = json.get<picojson::array>();
        std::vector<Element> converted;
        converted.reserve(elements.size());
        for (const auto& element : elements)
            converted.push_back(E::convert(element, Element{}));
        return converted;
    }

    void setJson(const picojson::value& json) override { this->set(convert(json, this->value)); }
};

} // namespace vantle::vst
