#pragma once
// A JSON value from text, for tests that set view properties.

#include <gtest/gtest.h>
#include <picojson.h>

#include <string>

namespace tarvel::test {

inline picojson::value json(const std::string& text)
{
    picojson::value value;
    const std::string error = picojson::parse(value, text);
    EXPECT_TRUE(error.empty()) << error;
    return value;
}

} // namespace tarvel::test
