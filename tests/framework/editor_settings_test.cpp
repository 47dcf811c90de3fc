// The user's editor settings: the zoom saved in the configuration folder,
// read back by every editor, and the defaults for anything missing or odd.
#include "framework/editor_settings.h"
#include "support/scoped_config_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace vantle::vst;
namespace fs = std::filesystem;

std::string contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(EditorSettings, TheZoomIsSavedForEveryEditorOfTheProductAndKeepsOtherSettings)
{
    tarvel::test::ScopedConfigFolder config;
    EXPECT_EQ(savedZoom("Tarvel"), 1.0) << "no file yet";
    const fs::path file = config.path() / "Tarvel" / "settings.json";
    ASSERT_EQ(settingsPath("Tarvel"), file.string());

    ASSERT_TRUE(saveZoom("Tarvel", 1.5));
    EXPECT_EQ(savedZoom("Tarvel"), 1.5);
    EXPECT_EQ(savedZoom("Other"), 1.0) << "another product's settings are its own";
    write(file, R"({"theme":"dark","zoom":150})");
    ASSERT_TRUE(saveZoom("Tarvel", 2.0));
    EXPECT_EQ(savedZoom("Tarvel"), 2.0);
    EXPECT_NE(contents(file).find(R"("theme":"dark")"), std::string::npos);
    // Only the file itself is left in the folder: the temporary one was renamed.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    EXPECT_FALSE(saveZoom("Tarvel", 1.1)) << "not one of the steps";
    EXPECT_EQ(savedZoom("Tarvel"), 2.0);
}

TEST(EditorSettings, AnythingButASavedStepMeansAHundredPercent)
{
    tarvel::test::ScopedConfigFolder config;
    const fs::path file = config.path() / "Tarvel" / "settings.json";
    for (const std::string& text : std::vector<std::string>{"", "{", "[150]", R"({"zoom":"150"})", R"({"zoom":151})", R"({"zoom":1e999})", R"({"zoom":-125})",
          R"({"zoom":150.5})", std::string(70000, ' ') + R"({"zoom":150})", std::string("\0\xff\xfe", 3)}) {
        write(file, text);
        EXPECT_EQ(savedZoom("Tarvel"), 1.0) << text.substr(0, 40);
    }
    // A folder where the file should be: nothing to read, nothing written.
    fs::remove(file);
    fs::create_directories(file);
    EXPECT_EQ(savedZoom("Tarvel"), 1.0);
    EXPECT_FALSE(saveZoom("Tarvel", 1.5));
    EXPECT_TRUE(fs::is_directory(file));
}

} // namespace
