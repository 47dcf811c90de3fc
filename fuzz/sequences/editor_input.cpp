// Fuzz target: the user's input and the host's changes on the plug-in's
// editor (see EditorSession), each edit the host hears checked as it comes
// and every edit closed once the user lets go.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "editor_session.h"

namespace {

// Zoom choices are saved in the user's settings: here in a folder of the
// fuzzer's own, never the real user's.
void useScratchSettings()
{
    static const bool done = [] {
        const auto folder = std::filesystem::temp_directory_path() / "tarvel-fuzz-editor-settings";
        std::filesystem::create_directories(folder);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        return true;
    }();
    (void)done;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    useScratchSettings();
    FuzzedDataProvider in(data, size);
    tarvel::fuzz::EditorSession session;
    static const bool trace = std::getenv("TARVEL_FUZZ_TRACE") != nullptr;
    for (int step = 0; step < 200 && in.remaining_bytes() > 0; ++step) {
        const int choice = in.ConsumeIntegralInRange<int>(0, 15);
        if (trace)
            std::fprintf(stderr, "tarvel fuzz: step %d\n", choice);
        switch (choice) {
        case 0: session.mouseDown(in); break;
        case 1:
        case 2: session.mouseMoved(in); break;
        case 3: session.mouseUp(in); break;
        case 4: session.mouseCancel(); break;
        case 5: session.wheel(in); break;
        case 6: session.keyDown(in); break;
        case 7: session.keyUp(in); break;
        case 8: session.setContentScale(in); break;
        case 9: session.hostChangesParameter(in); break;
        case 10: session.setKnobMode(in); break;
        case 11: session.timePasses(in); break;
        case 12: session.render(); break;
        case 13: session.chooseMenuItem(in); break;
        default: session.askHost(in); break;
        }
        session.checkEdits();
    }
    session.letGo();
    return 0;
}
