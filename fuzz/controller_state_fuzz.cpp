// The controller's side of a project: setComponentState with bytes a host
// took from the processor, then setState with its own, both arbitrary. Then
// every parameter as a host shows it: its value, its text, the text read
// back, and texts and values no plug-in would write. Nothing crashes, every
// value the controller holds stays within 0..1, a refused state changes
// nothing, and a state that loads saves to bytes that load and save again
// unchanged.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/support/in_process_module.h"

namespace {

using namespace Steinberg;
using tarvel::fuzz::Bytes;
using tarvel::fuzz::require;

bool isNormalised(double value) { return std::isfinite(value) && value >= 0.0 && value <= 1.0; }

bool sameText(const Vst::String128 a, const Vst::String128 b)
{
    for (std::size_t i = 0; i < 128; ++i) {
        if (a[i] != b[i])
            return false;
        if (a[i] == 0)
            return true;
    }
    return true;
}

bool terminated(const Vst::String128 text)
{
    for (std::size_t i = 0; i < 128; ++i)
        if (text[i] == 0)
            return true;
    return false;
}

void checkText(Vst::IEditController& controller, Vst::ParamID id, Vst::ParamValue value)
{
    Vst::String128 text{};
    require(controller.getParamStringByValue(id, value, text) == kResultOk, "a parameter has no text for a value");
    require(terminated(text), "a parameter's text is not terminated");
    Vst::ParamValue readBack = -1.0;
    require(controller.getParamValueByString(id, text, readBack) == kResultOk, "a parameter's own text does not read");
    require(isNormalised(readBack), "a parameter's own text reads back outside 0..1");
    Vst::String128 again{};
    require(controller.getParamStringByValue(id, readBack, again) == kResultOk, "no text for a value read back");
    require(sameText(text, again), "a parameter's text read back shows a different text");
}

// The input's last bytes seen as values and texts a host could pass in.
void checkOddValues(Vst::IEditController& controller, Vst::ParamID id, const Bytes& input)
{
    double odd = 0.0;
    if (input.size() >= sizeof odd)
        std::memcpy(&odd, input.data() + input.size() - sizeof odd, sizeof odd);
    for (const double value : {odd, -odd, std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e-300, 2.0}) {
        Vst::String128 text{};
        if (controller.getParamStringByValue(id, value, text) == kResultOk)
            require(terminated(text), "a parameter's text for an odd value is not terminated");
        require(std::isfinite(controller.normalizedParamToPlain(id, value)) || !std::isfinite(value),
                "a finite value has no finite plain value");
    }
    Vst::String128 text{};
    const std::size_t length = std::min<std::size_t>(input.size(), 24);
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<Vst::TChar>(input[input.size() - length + i]);
    Vst::ParamValue value = -1.0;
    if (controller.getParamValueByString(id, text, value) == kResultOk)
        require(isNormalised(value), "a typed text reads as a value outside 0..1");
}

void checkParameters(Vst::IEditController& controller, const Bytes& input)
{
    const int32 count = controller.getParameterCount();
    for (int32 index = 0; index < count; ++index) {
        Vst::ParameterInfo info{};
        require(controller.getParameterInfo(index, info) == kResultOk, "a listed parameter has no info");
        const Vst::ParamValue value = controller.getParamNormalized(info.id);
        require(isNormalised(value), "a parameter's value is outside 0..1");
        checkText(controller, info.id, value);
        const Vst::ParamValue plain = controller.normalizedParamToPlain(info.id, value);
        require(std::isfinite(plain), "a parameter's plain value is not finite");
        require(isNormalised(controller.plainParamToNormalized(info.id, plain)),
                "a plain value maps back outside 0..1");
        checkOddValues(controller, info.id, input);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes input(data, data + size);
    tarvel::fuzz::Vst3Plugin plugin;
    auto& controller = plugin.controller();

    Bytes initial;
    require(plugin.controllerState(initial), "getState failed on a new controller");
    const bool componentLoaded = plugin.loadComponentState(input) == kResultOk;
    Bytes afterComponent;
    require(plugin.controllerState(afterComponent), "getState failed after setComponentState");
    if (!componentLoaded)
        tarvel::fuzz::requireSame(initial, afterComponent, "a refused component state changed the controller");
    checkParameters(controller, input);

    const bool loaded = plugin.loadControllerState(input) == kResultOk;
    Bytes saved;
    require(plugin.controllerState(saved), "getState failed after setState");
    if (!loaded)
        tarvel::fuzz::requireSame(afterComponent, saved, "a refused state changed the controller");
    checkParameters(controller, input);

    if (loaded) {
        tarvel::fuzz::Vst3Plugin second;
        require(second.loadControllerState(saved) == kResultOk, "a saved controller state did not load again");
        Bytes savedAgain;
        require(second.controllerState(savedAgain), "getState failed after loading a saved state");
        tarvel::fuzz::requireSame(saved, savedAgain, "a saved controller state loaded and saved again changed its bytes");
    }
    return 0;
}
