#include "framework/property.h"

#include "foundation/scrambled_text.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace vantle::vst {

namespace {

const picojson::value& element(const picojson::array& elements, std::size_t index)
{
    if (index >= elements.size())
        throw std::out_of_range(VANTLE_TEXT("invalid vector<T> subscript"));
    return elements[index];
}

const picojson::value& member(const picojson::object& object, const std::string& name)
{
    const auto found = object.find(name);
    if (found == object.end())
        throw std::out_of_range(VANTLE_TEXT("invalid map<K, T> key"));
    return found->second;
}

// Truncation toward zero; values beyond the 32-bit range saturate rather
// than overflow, since a layout document may hold any number.
std::int32_t truncateToInt32(double number)
{
    if (std::isnan(number))
        return 0;
    const double truncated = std::trunc(number);
    if (truncated <= double(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (truncated >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(truncated);
}

// The low 8 bits of the number truncated toward zero (two's complement), so
// 300 gives 44 and -1 gives 255.
std::uint32_t lowByte(double number)
{
    const double remainder = std::fmod(std::trunc(number), 256.0);
    if (std::isnan(remainder))
        return 0;
    return static_cast<std::uint32_t>(remainder < 0 ? remainder + 256.0 : remainder);
}

} // namespace

std::int32_t IntProperty::convert(const picojson::value& json, const std::int32_t&)
{
    return truncateToInt32(json.get<double>());
}

double DoubleProperty::convert(const picojson::value& json, const double&) { return json.get<double>(); }

std::string StringProperty::convert(const picojson::value& json, const std::string&)
{
    return json.get<std::string>();
}

Gdiplus::Color ColorProperty::convert(const picojson::value& json, const Gdiplus::Color&)
{
    const auto& elements = json.get<picojson::array>();
    std::uint32_t channels[4];
    for (std::size_t i = 0; i < 4; ++i)
        channels[i] = lowByte(element(elements, i).get<double>());
    return Gdiplus::Color((channels[0] << 24) | (channels[1] << 16) | (channels[2] << 8) | channels[3]);
}

Gdiplus::StringAlignment AlignmentProperty::convert(const picojson::value& json, const Gdiplus::StringAlignment&)
{
    const std::string& name = json.get<std::string>();
    if (name == VANTLE_TEXT("center"))
        return Gdiplus::StringAlignmentCenter;
    if (name == VANTLE_TEXT("near"))
        return Gdiplus::StringAlignmentNear;
    if (name == VANTLE_TEXT("far"))
        return Gdiplus::StringAlignmentFar;
    throw std::logic_error(VANTLE_TEXT("unknown alignment: ") + name);
}

VSTGUI::CPoint PointProperty::convert(const picojson::value& json, const VSTGUI::CPoint&)
{
    const auto& elements = json.get<picojson::array>();
    const double x = element(elements, 0).get<double>();
    const double y = element(elements, 1).get<double>();
    return {x, y};
}

VSTGUI::CRect RectProperty::convert(const picojson::value& json, const VSTGUI::CRect&)
{
    const auto& elements = json.get<picojson::array>();
    const double left = element(elements, 0).get<double>();
    const double top = element(elements, 1).get<double>();
    const double right = element(elements, 2).get<double>();
    const double bottom = element(elements, 3).get<double>();
    return {left, top, right, bottom};
}

PathPrimitive PathPrimitiveProperty::convert(const picojson::value& json, const PathPrimitive&)
{
    const auto& object = json.get<picojson::object>();
    PathPrimitive path;
    const std::string& kind = member(object, VANTLE_TEXT("kind")).get<std::string>();
    if (kind == VANTLE_TEXT("lines"))
        path.kind = PathPrimitive::lineStrip;
    else if (kind == VANTLE_TEXT("beziers"))
        path.kind = PathPrimitive::bezierChain;
    else
        throw std::logic_error(VANTLE_TEXT("unknown path kind: ") + kind);
    for (const auto& point : member(object, VANTLE_TEXT("points")).get<picojson::array>())
        path.points.push_back(PointProperty::convert(point, {}));
    return path;
}

} // namespace vantle::vst
