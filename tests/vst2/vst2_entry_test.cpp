// VSTPluginMain and the module's GDI+ reference: one per effect, taken only
// for a host that passes the version query and dropped when the effect closes.

#include <gtest/gtest.h>

#include "entry/gui_runtime.h"
#include "entry/vst2_entry.h"

namespace {

using namespace vst2;

int versionQueries = 0;
int otherCalls = 0;
VstIntPtr hostVersion = 2400;

VstIntPtr VST2_CALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion) {
        ++versionQueries;
        return hostVersion;
    }
    ++otherCalls;
    return 0;
}

class Vst2PluginMain : public testing::Test {
protected:
    void SetUp() override
    {
        versionQueries = otherCalls = 0;
        hostVersion = 2400;
        ASSERT_FALSE(tarvel::guiRuntimeRunning());
    }
};

TEST_F(Vst2PluginMain, HostAnsweringZeroGetsNullAndNothingStarts)
{
    hostVersion = 0;
    EXPECT_EQ(VSTPluginMain(host), nullptr);
    EXPECT_EQ(versionQueries, 1);
    EXPECT_EQ(otherCalls, 0);
    EXPECT_FALSE(tarvel::guiRuntimeRunning());
    EXPECT_EQ(tarvel::guiRuntimeReferences(), 0);
    EXPECT_EQ(VSTPluginMain(nullptr), nullptr);
    EXPECT_FALSE(tarvel::guiRuntimeRunning());
}

TEST_F(Vst2PluginMain, EachEffectHoldsOneReferenceUntilItIsClosed)
{
    AEffect* first = VSTPluginMain(host);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(versionQueries, 1);
    EXPECT_TRUE(tarvel::guiRuntimeRunning());
    EXPECT_EQ(tarvel::guiRuntimeReferences(), 1);
    AEffect* second = VSTPluginMain(host);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(tarvel::guiRuntimeReferences(), 2);

    first->dispatcher(first, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(tarvel::guiRuntimeReferences(), 1);
    EXPECT_TRUE(tarvel::guiRuntimeRunning());
    second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_FALSE(tarvel::guiRuntimeRunning());
}

} // namespace
