#include "views/wide_text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>

namespace {

using vantle::vst::toWide;
using vantle::vst::WideString;

// The expected UTF-16 text in the platform's WCHAR type (char16_t in the
// Linux GDI+ layer, wchar_t in the Windows headers).
WideString utf16(std::u16string_view text) { return WideString(text.begin(), text.end()); }

TEST(WideText, ConvertsEveryLengthIncludingSurrogatePairs)
{
    EXPECT_EQ(toWide("a\xc3\xa9\xe3\x81\x82\xf0\x9f\x8e\xb5"), utf16(u"a\u00e9\u3042\U0001F3B5"));
    EXPECT_EQ(toWide(""), WideString());
}

TEST(WideText, RejectsMalformedOverlongAndSurrogateInput)
{
    EXPECT_THROW(toWide("\xff"), std::range_error);
    EXPECT_THROW(toWide("\xc3"), std::range_error) << "truncated sequence";
    EXPECT_THROW(toWide("\xc0\xaf"), std::range_error) << "overlong";
    EXPECT_THROW(toWide("\xed\xa0\x80"), std::range_error) << "surrogate";
    EXPECT_THROW(toWide("\xf4\x90\x80\x80"), std::range_error) << "beyond U+10FFFF";
    EXPECT_THROW(toWide("a\x80"), std::range_error) << "stray continuation byte";
}

} // namespace
