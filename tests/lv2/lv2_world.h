#pragma once
// The built bundle as an LV2 host finds it: copied into a fresh temporary
// folder that becomes LV2_PATH, and discovered by lilv, the host library
// Linux hosts use. What lilv writes to the standard error while it loads
// the bundle is kept, so tests can require a clean load.

#include <lilv/lilv.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvel::test {

inline constexpr const char* stereoUri = "https://vantle.audio/lv2/tarvel#stereo";
inline constexpr const char* monoUri = "https://vantle.audio/lv2/tarvel#mono";

class Lv2World {
public:
    Lv2World();
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    // One world for the whole test program.
    static Lv2World& shared();

    LilvWorld* world() const { return lilvWorld; }
    // Null if the plug-in was not discovered.
    const LilvPlugin* plugin(const char* uri) const;
    // A node for a URI, owned by this object.
    const LilvNode* uri(const std::string& text);
    const std::string& loadMessages() const { return messages; }
    const std::filesystem::path& bundle() const { return bundlePath; }

private:
    std::filesystem::path folder;
    std::filesystem::path bundlePath;
    LilvWorld* lilvWorld = nullptr;
    std::string messages;
    std::vector<LilvNode*> nodes;
};

} // namespace tarvel::test
