#include "framework/layout_json.h"
#include "framework/property.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

using namespace vantle::vst;

// A view with two properties that records the order of assignments.
class StyledView : public VSTGUI::CView {
public:
    StyledView() : CView(VSTGUI::CRect(0, 0, 8, 8))
    {
        alpha.addListener([this] { order += 'a'; });
        beta.addListener([this] { order += 'b'; });
        byName["a"] = &alpha;
        byName["b"] = &beta;
    }
    void setProperty(const std::string& name, const picojson::value& value) override
    {
        const auto found = byName.find(name);
        if (found != byName.end())
            found->second->setJson(value);
        else
            CView::setProperty(name, value);
    }
    IntProperty alpha;
    ColorProperty beta;
    std::map<std::string, Property*> byName;
    std::string order;
};

TEST(ApplyLayoutJson, TextThatIsNotJsonChangesNothingAndLogsNothing)
{
    StyledView view;
    EXPECT_EQ(applyLayoutJson("{ not json", {{"v", &view}}), "");
    EXPECT_EQ(view.order, "");
}

TEST(ApplyLayoutJson, NumbersBeyondDoubleRangeCountAsNotJson)
{
    StyledView view;
    EXPECT_EQ(applyLayoutJson(R"({"v":{"a":1e999}})", {{"v", &view}}), "");
    EXPECT_EQ(view.order, "");
}

TEST(ApplyLayoutJson, ArrayRootLogsTheTypeErrorAndTheClosingLine)
{
    StyledView view;
    const std::string log = applyLayoutJson("[1, 2]", {{"v", &view}});
    std::istringstream lines(log);
    std::string first, second, third;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_NE(first.find("object"), std::string::npos) << first;
    EXPECT_FALSE(second.empty());
    EXPECT_FALSE(std::getline(lines, third));
    EXPECT_EQ(view.order, "");
}

TEST(ApplyLayoutJson, PropertiesApplyInSortedOrderAndErrorsDoNotStopTheRest)
{
    StyledView view;
    StyledView other;
    const std::string log = applyLayoutJson(
        R"({"zz":{"a":1},"v":{"b":[255,1,2,3],"missing":1,"a":2.9,"size":[10,20,110,40]},"w":{"a":[1],"b":[1,2,3,4]},"x":5})",
        {{"v", &view}, {"w", &other}});
    EXPECT_EQ(view.order, "ab") << "a before b whatever the document order";
    EXPECT_EQ(view.alpha.get(), 2);
    EXPECT_EQ(view.beta.get().GetValue(), 0xFF010203u);
    EXPECT_EQ(view.getViewSize(), VSTGUI::CRect(10, 20, 110, 40)) << "properties after a failing one still apply";
    EXPECT_EQ(other.order, "b") << "the failing a ran no listener";
    EXPECT_EQ(other.alpha.get(), 0);

    EXPECT_NE(log.find("v.missing setProperty missing 1 not found\n"), std::string::npos) << log;
    EXPECT_NE(log.find("zz invalid map<K, T> key\n"), std::string::npos) << log;
    EXPECT_NE(log.find("v.a "), std::string::npos);
    EXPECT_NE(log.find("\nx "), std::string::npos) << "a view value that is not an object logs a type error";
    EXPECT_LT(log.find("v.a "), log.find("v.b ")) << log;
    EXPECT_LT(log.find("v.b "), log.find("w.a ")) << log;
}

TEST(ApplyLayoutJson, ApplyingTwiceRunsListenersAgainAndWritesTheLogFile)
{
    StyledView view;
    const std::string path = ::testing::TempDir() + "layout_log.txt";
    const std::string document = R"({"v":{"a":1}})";
    const std::string log = applyLayoutJson(document, {{"v", &view}}, path);
    applyLayoutJson(document, {{"v", &view}});
    EXPECT_EQ(view.order, "aa");
    std::ifstream file(path);
    std::stringstream written;
    written << file.rdbuf();
    EXPECT_EQ(written.str(), log);
    std::remove(path.c_str());
    EXPECT_NO_THROW(applyLayoutJson(document, {{"v", &view}}, "/nonexistent-folder/log.txt"));
}

} // namespace
