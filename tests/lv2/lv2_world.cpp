#include "lv2/lv2_world.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvel::test {

namespace {

// Runs load() with the standard error going to a file, and answers what
// was written there.
template <typename Load>
std::string capturingStandardError(const std::filesystem::path& file, Load load)
{
    std::fflush(stderr);
    const int saved = ::dup(2);
    std::FILE* capture = std::fopen(file.c_str(), "w");
    if (saved < 0 || !capture)
        throw std::runtime_error("cannot redirect the standard error");
    ::dup2(::fileno(capture), 2);
    load();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    std::fclose(capture);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

Lv2World::Lv2World()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvel-lv2-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    folder = pattern;
    const std::filesystem::path searched = folder / "lv2";
    bundlePath = searched / "Tarvel.lv2";
    std::filesystem::create_directory(searched);
    std::filesystem::copy(TARVEL_LV2_BUNDLE, bundlePath, std::filesystem::copy_options::recursive);
    ::setenv("LV2_PATH", searched.c_str(), 1);
    lilvWorld = lilv_world_new();
    // LV2's core bundle, which names the plug-in classes, as a host
    // has it from the system's LV2 folder; nothing else from there.
    messages = capturingStandardError(folder / "lilv.log", [&] {
        LilvNode* core = lilv_new_file_uri(lilvWorld, nullptr, "/usr/lib/lv2/core.lv2/");
        lilv_world_load_bundle(lilvWorld, core);
        lilv_node_free(core);
        lilv_world_load_all(lilvWorld);
    });
}

Lv2World::~Lv2World()
{
    for (LilvNode* node : nodes)
        lilv_node_free(node);
    lilv_world_free(lilvWorld);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

Lv2World& Lv2World::shared()
{
    static Lv2World world;
    return world;
}

const LilvPlugin* Lv2World::plugin(const char* pluginUri) const
{
    LilvNode* node = lilv_new_uri(lilvWorld, pluginUri);
    const LilvPlugin* found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilvWorld), node);
    lilv_node_free(node);
    return found;
}

const LilvNode* Lv2World::uri(const std::string& text)
{
    nodes.push_back(lilv_new_uri(lilvWorld, text.c_str()));
    return nodes.back();
}

} // namespace tarvel::test
