#pragma once
// The plug-in's editor view as the controller knows it: attached editors are
// told of every parameter change. The window and its views are built on top
// of this class; until they exist the controller opens no editor.

#include "public.sdk/source/vst/vsteditcontroller.h"

namespace tarvel {

class Editor : public Steinberg::Vst::EditorView {
public:
    explicit Editor(Steinberg::Vst::EditController* owner) : EditorView(owner) {}

    virtual void onParameterChanged(Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue) {}
};

} // namespace tarvel
