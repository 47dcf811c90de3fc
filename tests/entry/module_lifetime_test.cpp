#include <gtest/gtest.h>

#include "entry/gui_runtime.h"
#include "entry/module_lifetime.h"

namespace {

TEST(ModuleLifetime, EveryLoadHoldsGdiPlusUntilItsOwnUnload)
{
    ASSERT_FALSE(tarvel::guiRuntimeRunning());
    EXPECT_TRUE(tarvel::moduleInit());
    EXPECT_TRUE(tarvel::moduleInit());
    EXPECT_TRUE(tarvel::guiRuntimeRunning());
    EXPECT_EQ(tarvel::guiRuntimeReferences(), 2);

    EXPECT_TRUE(tarvel::moduleExit());
    EXPECT_TRUE(tarvel::guiRuntimeRunning()) << "one load is still outstanding";

    EXPECT_TRUE(tarvel::moduleExit());
    EXPECT_FALSE(tarvel::guiRuntimeRunning());

    // An unload without a load must not underflow the count.
    EXPECT_TRUE(tarvel::moduleExit());
    EXPECT_FALSE(tarvel::guiRuntimeRunning());
    EXPECT_TRUE(tarvel::moduleInit());
    EXPECT_TRUE(tarvel::guiRuntimeRunning());
    EXPECT_TRUE(tarvel::moduleExit());
}

} // namespace
