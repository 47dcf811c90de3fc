#pragma once
// What the host learns of the user's edits, checked edit by edit: every
// value performed is a finite normalised value of one of the plug-in's
// parameters, sent inside an open edit of that parameter, and edits of one
// parameter never overlap.

#include <array>
#include <cstddef>

#include "tools/host/component_handler.h"

namespace tarvel::fuzz {

class EditGestures {
public:
    explicit EditGestures(const host::ComponentHandler& handler) : handler(handler) {}

    // Checks the edits recorded since the previous call.
    void checkNewEdits();
    // True when no edit is open.
    bool allClosed() const;

private:
    static constexpr std::size_t parameterCount = 5;

    const host::ComponentHandler& handler;
    std::size_t checked = 0;
    std::array<bool, parameterCount> open{};
};

} // namespace tarvel::fuzz
