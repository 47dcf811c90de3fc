// Random and mutated layout documents fed to applyLayoutJson: nothing may
// crash or leak (the suite runs this under AddressSanitizer), and every
// parsable document ends its log with the closing line.
#include "framework/layout_json.h"
#include "framework/property.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <map>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using namespace vantle::vst;

class EveryKindView : public VSTGUI::CView {
public:
    EveryKindView() : CView(VSTGUI::CRect(0, 0, 8, 8))
    {
        byName = {{"i", &integer}, {"d", &real},   {"s", &text},  {"c", &color},
                  {"a", &align},   {"p", &point},  {"r", &rect},  {"paths", &paths},
                  {"pts", &points}};
        for (auto& [name, property] : byName)
            property->addListener([this] { invalid(); });
    }
    void setProperty(const std::string& name, const picojson::value& value) override
    {
        const auto found = byName.find(name);
        if (found != byName.end())
            found->second->setJson(value);
        else
            CView::setProperty(name, value);
    }

private:
    IntProperty integer;
    DoubleProperty real;
    StringProperty text;
    ColorProperty color;
    AlignmentProperty align;
    PointProperty point;
    RectProperty rect;
    ArrayProperty<PathPrimitiveProperty> paths;
    ArrayProperty<PointProperty> points;
    std::map<std::string, Property*> byName;
};

const char* const seeds[] = {
    R"({"v":{"i":3,"d":1.5,"s":"x","c":[255,1,2,3],"a":"far","p":[1,2],"r":[0,0,4,4],"size":[1,2,3,4]}})",
    R"({"v":{"paths":[{"kind":"lines","points":[[0,0],[1,1]]},{"kind":"beziers","points":[[0,0],[1,1],[2,2],[3,3]]}]}})",
    R"({"v":{"pts":[[0,0],[1e308,-1e308]],"c":[1e300,-1e300,0.5,-0.5],"i":-1e300},"w":{"i":1}})",
    R"([1,{"v":null},"v"])",
    R"({"v":{"size":[1,2],"a":"","paths":[{"points":[]}],"unknown":{}}})",
};

std::string mutate(std::string text, std::mt19937& random)
{
    static const std::string alphabet = "{}[]\",:0123456789.-eE truefalsnul\\vipdscar";
    std::uniform_int_distribution<int> operation(0, 3);
    const int edits = 1 + int(random() % 6);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = text.empty() ? 0 : random() % text.size();
        const char c = alphabet[random() % alphabet.size()];
        switch (operation(random)) {
        case 0: if (!text.empty()) text.erase(at, 1); break;
        case 1: text.insert(at, 1, c); break;
        case 2: if (!text.empty()) text[at] = c; break;
        default: text.insert(at, text.substr(at, random() % 16)); break;
        }
    }
    return text;
}

std::string randomDocument(std::mt19937& random, int depth = 0)
{
    switch (random() % (depth > 3 ? 4 : 7)) {
    case 0: return std::to_string(int(random() % 2000) - 1000) + (random() % 2 ? ".75" : "");
    case 1: return random() % 2 ? "\"far\"" : "\"v\"";
    case 2: return random() % 2 ? "true" : "null";
    case 3: return "1e" + std::to_string(random() % 400);
    case 4: {
        std::string array = "[";
        for (auto n = random() % 6; n > 0; --n)
            array += randomDocument(random, depth + 1) + (n > 1 ? "," : "");
        return array + "]";
    }
    default: {
        static const char* const keys[] = {"v", "w", "i", "d", "s", "c", "a", "p", "r", "paths", "pts", "size", "kind", "points"};
        std::string object = "{";
        for (auto n = random() % 5; n > 0; --n)
            object += std::string("\"") + keys[random() % 14] + "\":" + randomDocument(random, depth + 1) +
                      (n > 1 ? "," : "");
        return object + "}";
    }
    }
}

// The same documents on every machine: a fixed count from a fixed seed.
// TARVEL_LAYOUT_FUZZ_DOCUMENTS asks for more (the first ones stay the same).
int documentCount()
{
    constexpr int standard = 100000;
    const char* asked = std::getenv("TARVEL_LAYOUT_FUZZ_DOCUMENTS");
    if (!asked)
        return standard;
    const long count = std::strtol(asked, nullptr, 10);
    return count > standard && count <= std::numeric_limits<int>::max() ? static_cast<int>(count) : standard;
}

TEST(LayoutFuzz, RandomAndMutatedDocumentsNeverCrash)
{
    EveryKindView v;
    EveryKindView w;
    const ViewsByName views{{"v", &v}, {"w", &w}};
    std::mt19937 random(20261208);
    int parsable = 0;
    const int count = documentCount();
    for (int n = 0; n < count; ++n) {
        const std::string document =
            n % 2 ? randomDocument(random) : mutate(seeds[random() % std::size(seeds)], random);
        const std::string log = applyLayoutJson(document, views);
        picojson::value parsed;
        bool valid = false;
        try {
            valid = picojson::parse(parsed, document).empty();
        } catch (const std::overflow_error&) {
        }
        if (valid) {
            ASSERT_FALSE(log.empty()) << "document " << n << ": " << document;
            ASSERT_EQ(log.back(), '\n') << "document " << n << ": " << document;
            ++parsable;
        } else {
            ASSERT_TRUE(log.empty()) << "document " << n << ": " << document;
        }
    }
    // Both kinds of document are exercised in numbers.
    EXPECT_GT(parsable, count / 10);
    EXPECT_LT(parsable, count - count / 10);
}

} // namespace
