#include "edit_gestures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fuzz_failure.h"

namespace tarvel::fuzz {

void EditGestures::checkNewEdits()
{
    using Kind = host::ComponentHandler::Edit::Kind;
    const auto& edits = handler.edits();
    for (; checked < edits.size(); ++checked) {
        const auto& edit = edits[checked];
        static const bool trace = std::getenv("TARVEL_FUZZ_TRACE") != nullptr;
        if (trace)
            std::fprintf(stderr, "tarvel fuzz: edit %d of %u: %g\n", int(edit.kind), unsigned(edit.id), edit.value);
        require(edit.id < parameterCount, "an edit of a parameter the plug-in does not have", double(edit.id));
        bool& editing = open[edit.id];
        switch (edit.kind) {
        case Kind::Begin:
            require(!editing, "beginEdit while the parameter's edit is still open", double(edit.id));
            editing = true;
            break;
        case Kind::Perform:
            require(editing, "performEdit outside beginEdit and endEdit", double(edit.id));
            require(std::isfinite(edit.value) && edit.value >= 0.0 && edit.value <= 1.0,
                    "performEdit with a value outside 0..1", edit.value);
            break;
        case Kind::End:
            require(editing, "endEdit without beginEdit", double(edit.id));
            editing = false;
            break;
        }
    }
}

bool EditGestures::allClosed() const
{
    return std::none_of(open.begin(), open.end(), [](bool editing) { return editing; });
}

} // namespace tarvel::fuzz
