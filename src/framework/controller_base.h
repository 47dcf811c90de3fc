#pragma once
// Generic VST 3 edit controller: parameter registration and display, state
// mirroring in the processor's state format, the list of attached editors
// and the framework's own messages. The product class supplies:
//
//   static const auto& parameterDescriptions()   id, title, unit, steps, flags, default
//   static std::string displayText(int32 id, double value)
//   static std::optional<double> valueFromText(int32 id, const std::string&)
//   static std::optional<StateValues> readValues(IBStream*)
//   static bool writeValues(IBStream*, const StateValues&)

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "framework/host_boundary.h"
#include "framework/messages.h"
#include "foundation/scrambled_text.h"
#include "pluginterfaces/base/ustring.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace vantle::vst {

template <typename Derived, typename Params, typename EditorType>
class ControllerBase : public Steinberg::Vst::EditController {
public:
    using tresult = Steinberg::tresult;
    using ParamID = Steinberg::Vst::ParamID;
    using ParamValue = Steinberg::Vst::ParamValue;

    tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (EditController::initialize(context) != Steinberg::kResultOk)
                return Steinberg::kResultOk;
            for (const auto& description : Derived::parameterDescriptions()) {
                const Steinberg::UString128 title(decodeLiteral(description.title).c_str());
                const Steinberg::UString128 unit(decodeLiteral(description.unitLabel).c_str());
                parameters.addParameter(title, unit, description.stepCount, static_cast<double>(description.defaultValue),
                                        description.flags, static_cast<Steinberg::int32>(description.id), 0);
            }
            return Steinberg::kResultOk;
        });
    }

    tresult PLUGIN_API terminate() override
    {
        return guarded([&]() -> Steinberg::tresult {
            editors.clear();
            return EditController::terminate();
        });
    }

    // The SDK's lookup indexes its list with a checked access that throws
    // for an index out of range; a host asking for one gets a refusal.
    tresult PLUGIN_API getParameterInfo(Steinberg::int32 index, Steinberg::Vst::ParameterInfo& info) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (index < 0 || index >= getParameterCount())
                return Steinberg::kInvalidArgument;
            return EditController::getParameterInfo(index, info);
        });
    }

    tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue value, Steinberg::Vst::String128 text) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (id >= static_cast<ParamID>(Params::count))
                return EditController::getParamStringByValue(id, value, text);
            if (!text)
                return Steinberg::kResultFalse;
            const std::string display = Derived::displayText(static_cast<Steinberg::int32>(id), value);
            const std::size_t length = std::min<std::size_t>(display.size(), 127);
            for (std::size_t i = 0; i < length; ++i)
                text[i] = static_cast<Steinberg::Vst::TChar>(static_cast<unsigned char>(display[i]));
            text[length] = 0;
            return Steinberg::kResultOk;
        });
    }

    // Text a user typed, read as the parameter shows its values ("2.50",
    // "-20", "On"), with or without the unit after it. The SDK's own reading
    // would take a typed number for the normalised value itself, so "-20"
    // typed as a level would set the lowest one.
    tresult PLUGIN_API getParamValueByString(ParamID id, Steinberg::Vst::TChar* string,
                                             ParamValue& valueNormalized) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (id >= static_cast<ParamID>(Params::count))
                return EditController::getParamValueByString(id, string, valueNormalized);
            if (!string)
                return Steinberg::kResultFalse;
            std::string text;
            for (std::size_t i = 0; i < 128 && string[i] != 0; ++i) {
                // Every text a parameter shows is ASCII.
                if (string[i] > 0x7F)
                    return Steinberg::kResultFalse;
                text += static_cast<char>(string[i]);
            }
            const std::optional<double> value =
                Derived::valueFromText(static_cast<Steinberg::int32>(id), withoutUnit(id, text));
            if (!value)
                return Steinberg::kResultFalse;
            valueNormalized = *value;
            return Steinberg::kResultOk;
        });
    }

    tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) override
    {
        return guarded([&]() -> Steinberg::tresult {
            const tresult result = EditController::setParamNormalized(id, value);
            for (EditorType* editor : std::vector<EditorType*>(editors))
                if (editor)
                    editor->onParameterChanged(id, value);
            return result;
        });
    }

    tresult PLUGIN_API setComponentState(Steinberg::IBStream* stream) override
    {
        return guarded([&]() -> Steinberg::tresult {
            const auto values = Derived::readValues(stream);
            if (!values)
                return Steinberg::kResultFalse;
            for (Steinberg::int32 id = 0; id < Params::count; ++id)
                setParamNormalized(static_cast<ParamID>(id), (*values)[static_cast<std::size_t>(id)]);
            return Steinberg::kResultOk;
        });
    }

    tresult PLUGIN_API setState(Steinberg::IBStream* stream) override
    {
        return guarded([&]() -> Steinberg::tresult {
            const auto values = Derived::readValues(stream);
            if (!values)
                return Steinberg::kResultFalse;
            for (Steinberg::int32 id = 0; id < Params::count; ++id) {
                const auto tag = static_cast<ParamID>(id);
                beginEdit(tag);
                setParamNormalized(tag, (*values)[static_cast<std::size_t>(id)]);
                // The value as held, within 0..1: a state may carry any
                // number, and a host (or an adapter feeding the processor)
                // must hear the value the controller shows and saves.
                performEdit(tag, getParamNormalized(tag));
                endEdit(tag);
            }
            return Steinberg::kResultOk;
        });
    }

    tresult PLUGIN_API getState(Steinberg::IBStream* stream) override
    {
        return guarded([&]() -> Steinberg::tresult {
            typename Derived::StateValues values{};
            for (Steinberg::int32 id = 0; id < Params::count; ++id)
                values[static_cast<std::size_t>(id)] = getParamNormalized(static_cast<ParamID>(id));
            return Derived::writeValues(stream, values) ? Steinberg::kResultOk : Steinberg::kResultFalse;
        });
    }

    // One new editor for each request of the standard editor view.
    Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override
    {
        try {
            if (name && std::strcmp(name, Steinberg::Vst::ViewType::kEditor) == 0)
                return new EditorType(this);
        } catch (...) {
        }
        return nullptr;
    }

    void editorAttached(Steinberg::Vst::EditorView* view) override
    {
        try {
            if (auto* editor = dynamic_cast<EditorType*>(view))
                editors.push_back(editor);
        } catch (...) {
        }
    }

    void editorRemoved(Steinberg::Vst::EditorView* view) override
    {
        try {
            if (auto* editor = dynamic_cast<EditorType*>(view)) {
                const auto found = std::find(editors.begin(), editors.end(), editor);
                if (found != editors.end())
                    editors.erase(found);
            }
        } catch (...) {
        }
    }

    tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (!message)
                return Steinberg::kInvalidArgument;
            if (isMessage(message, messages::processorActive)) {
                Steinberg::int64 active = 0;
                auto* attributes = message->getAttributes();
                if (!attributes || attributes->getInt(messages::processorActiveFlag, active) != Steinberg::kResultTrue)
                    return Steinberg::kResultFalse;
                processorActive = active != 0;
                return Steinberg::kResultOk;
            }
            if (isMessage(message, messages::latencyChanged)) {
                if (componentHandler)
                    componentHandler->restartComponent(Steinberg::Vst::kLatencyChanged);
                return Steinberg::kResultOk;
            }
            return ComponentBase::notify(message);
        });
    }

    bool isProcessorActive() const { return processorActive; }

protected:
    std::vector<EditorType*> editors;
    bool processorActive = false;

private:
    // The text with surrounding spaces and the parameter's unit, if it ends
    // with it, taken off.
    std::string withoutUnit(ParamID id, std::string text)
    {
        const auto trim = [&text] {
            const auto first = text.find_first_not_of(' ');
            const auto last = text.find_last_not_of(' ');
            text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
        };
        trim();
        if (Steinberg::Vst::Parameter* parameter = parameters.getParameter(id)) {
            std::string unit;
            for (const Steinberg::Vst::TChar c : parameter->getInfo().units) {
                if (c == 0)
                    break;
                unit += static_cast<char>(c);
            }
            if (!unit.empty() && text.size() > unit.size() && text.ends_with(unit)) {
                text.resize(text.size() - unit.size());
                trim();
            }
        }
        return text;
    }
};

} // namespace vantle::vst
