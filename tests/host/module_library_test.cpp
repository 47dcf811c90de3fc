// The harness's OS side: where a bundle's binary is, and clear errors for
// files that are not modules.

#include "tools/host/module_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using namespace tarvel::host;
namespace fs = std::filesystem;

TEST(ModuleBinaryPath, TheBuiltModuleResolvesToAFileThatLoadsThroughItsFactory)
{
    const std::string binary = moduleBinaryPath(TARVEL_BUNDLE_PATH);
    EXPECT_TRUE(fs::is_regular_file(binary)) << binary;
    PluginModule module(binary);
    EXPECT_NE(module.symbol("GetPluginFactory"), nullptr);
}

TEST(ModuleBinaryPath, AFileIsItsOwnBinary)
{
    EXPECT_EQ(moduleBinaryPath(TARVEL_TEST_PROGRAM), TARVEL_TEST_PROGRAM);
}

TEST(SharedLibrary, AMissingFileIsAnErrorNamingIt)
{
    const std::string missing = (fs::temp_directory_path() / "no-such-module.vst3").string();
    try {
        SharedLibrary::open(missing);
        FAIL() << "opened a missing file";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(missing), std::string::npos) << error.what();
    }
}

TEST(PluginModule, AFileThatIsNoLibraryIsRefused)
{
    const fs::path text =
        fs::temp_directory_path() / ("tarvel-not-a-module-" + std::to_string(std::random_device{}()) + ".vst3");
    std::ofstream(text) << "not a library";
    EXPECT_THROW(PluginModule(text.string()), std::runtime_error);
    fs::remove(text);
}

} // namespace
