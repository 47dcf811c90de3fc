// The user's language as the process's locale sets it. CTest starts this
// program once per locale with the id to expect (see CMakeLists.txt); on
// Windows, Wine takes the user's default language from the same variables.

#include "platform/platform_services.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(UserLanguage, FollowsTheUsersLocale)
{
    const char* expected = std::getenv("TARVEL_EXPECTED_LANGUAGE_ID");
    ASSERT_NE(expected, nullptr) << "run through CTest, which sets the locale and the expected id";
    EXPECT_EQ(vantle::platform::userLanguageId(), std::stoi(expected));
}

} // namespace
