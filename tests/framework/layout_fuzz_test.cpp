// Layout documents that once mattered: the seeds the coverage-guided fuzzer
// starts from (fuzz/corpus/layout_document, the fuzzer's inputs that broke
// something among them) applied to views with a property of every kind.
// Nothing may crash or leak (the suite runs this under AddressSanitizer),
// every parsable document ends its log with the closing line and a document
// that is not JSON changes nothing. The fuzzer itself runs in the fuzz
// build (scripts/fuzz.sh layout_document).
#include "framework/layout_json.h"
#include "support/every_kind_view.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace vantle::vst;
using tarvel::test::EveryKindView;

bool isJson(const std::string& document)
{
    picojson::value parsed;
    try {
        return picojson::parse(parsed, document).empty();
    } catch (const std::overflow_error&) {
        return false;
    }
}

std::vector<std::filesystem::path> corpusFiles()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TARVEL_LAYOUT_CORPUS_DIR))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    return files;
}

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The line every applied document's log ends with.
std::string closingLine() { return applyLayoutJson("{}", {}); }

TEST(LayoutFuzz, EveryCorpusDocumentEndsItsLogOrIsRefusedWhole)
{
    const std::string closing = closingLine();
    ASSERT_FALSE(closing.empty());
    const auto files = corpusFiles();
    ASSERT_GE(files.size(), 5u) << TARVEL_LAYOUT_CORPUS_DIR;
    int parsable = 0;
    for (const auto& path : files) {
        EveryKindView v;
        EveryKindView w;
        const std::string document = fileText(path);
        const std::string log = applyLayoutJson(document, {{"v", &v}, {"w", &w}});
        if (isJson(document)) {
            EXPECT_TRUE(log.ends_with(closing)) << path << ":\n" << log;
            ++parsable;
        } else {
            EXPECT_TRUE(log.empty()) << path;
        }
    }
    // The seeds are documents; later additions may be anything.
    EXPECT_GE(parsable, 5);
}

TEST(LayoutFuzz, EveryPropertyAndUnknownViewIsLoggedBeforeTheClosingLine)
{
    EveryKindView v;
    const std::string log = applyLayoutJson(
        R"({"v":{"pts":[[0,0],[1e308,-1e308]],"c":[1e300,-1e300,0.5,-0.5],"i":-1e300},"w":{"i":1}})",
        {{"v", &v}});
    EXPECT_TRUE(log.starts_with("v.c <- ")) << log;
    EXPECT_NE(log.find("\nv.i <- "), std::string::npos) << log;
    EXPECT_NE(log.find("\nv.pts <- "), std::string::npos) << log;
    EXPECT_NE(log.find("\nw "), std::string::npos) << log;
    EXPECT_TRUE(log.ends_with(closingLine())) << log;
}

} // namespace
