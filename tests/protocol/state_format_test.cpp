#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

#include "protocol/state_format.h"
#include "public.sdk/source/common/memorystream.h"
#include "protocol/test_stream.h"
#include "support/allocation_counter.h"

namespace tarvel {
namespace {

using test::stateBytes;
using test::TestStream;

const StateValues defaults{0, 1, 0.5, 0, 0.5};

std::optional<StateValues> read(const std::string& bytes)
{
    TestStream stream(bytes);
    return readState(&stream);
}

std::optional<StateValues> readText(const std::string& text) { return read(stateBytes(text)); }

std::string written(const StateValues& values, StateWriter writer = StateWriter::Processor)
{
    TestStream stream;
    EXPECT_TRUE(writeState(&stream, values, writer));
    return stream.bytes;
}

TEST(StateFormat, WritesALengthWordAndCompactJsonInMemberOrder)
{
    const std::string bytes = written(toStateValues(Parameters{}));
    ASSERT_GT(bytes.size(), 4u);
    const std::string text = bytes.substr(4);
    EXPECT_EQ(bytes.substr(0, 4), stateBytes(static_cast<std::uint32_t>(text.size()), "")) << "little-endian length";
    const std::string prefix = R"({"bypass":0,"kind":")";
    const std::size_t kindEnd = text.find('"', prefix.size());
    ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
    ASSERT_NE(kindEnd, std::string::npos) << text;
    const std::string kind = text.substr(prefix.size(), kindEnd - prefix.size());
    EXPECT_FALSE(kind.empty());
    EXPECT_EQ(text, prefix + kind + R"(","ratio":0.5,"speed":1,"stereoRatio":0,"target":0.5,"version":1})");
    EXPECT_EQ(text, stateJson(defaults, StateWriter::Processor));
    EXPECT_NE(stateJson(defaults, StateWriter::Processor), stateJson(defaults, StateWriter::Controller));
}

TEST(StateFormat, WritesSinglePrecisionValuesWidenedWithSeventeenDigits)
{
    Parameters p;
    p[Ratio] = 0.3f;
    p[StereoRatio] = 0.25f;
    const std::string text = stateJson(toStateValues(p), StateWriter::Processor);
    EXPECT_NE(text.find("\"ratio\":0.30000001192092896,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"stereoRatio\":0.25,"), std::string::npos) << text;
}

TEST(StateFormat, SaveRestoreSaveGivesTheSameBytes)
{
    Parameters p;
    p[Ratio] = 0.3f;
    p[Target] = 2.5f;
    const std::string first = written(toStateValues(p));
    const auto restored = read(first);
    ASSERT_TRUE(restored);
    EXPECT_EQ((*restored)[Target], 2.5) << "stored as read, unclamped";
    EXPECT_EQ(toParameters(*restored), p);
    EXPECT_EQ(written(toStateValues(toParameters(*restored))), first);
    // The controller keeps doubles: its round trip is exact as well.
    const StateValues controllerValues{0.1, 0.0, 0.123456789012345, 1.0, 0.7};
    EXPECT_EQ(read(written(controllerValues, StateWriter::Controller)), controllerValues);
}

TEST(StateFormat, ReadsExactlyTheLengthWordAndTheText)
{
    const std::string state = written(defaults);
    TestStream stream(state + "next chunk");
    ASSERT_TRUE(readState(&stream));
    EXPECT_EQ(stream.position, state.size());
}

TEST(StateFormat, MissingOrMistypedMembersTakeTheirDefaults)
{
    EXPECT_EQ(readText("{}"), defaults);
    const auto mixed = readText(R"({"speed":"1","ratio":0.25,"bypass":null,"target":[0.1],"stereoRatio":true,"x":3})");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(*mixed, (StateValues{0, 1, 0.25, 0, 0.5}));
    EXPECT_EQ(readText(R"({"target":{"value":1},"speed":0})"), (StateValues{0, 0, 0.5, 0, 0.5}));
}

TEST(StateFormat, AcceptsTheControllersKindAndTrailingText)
{
    EXPECT_EQ(readText(stateJson(defaults, StateWriter::Controller)), defaults);
    EXPECT_EQ(readText("{\"ratio\":1}\n"), (StateValues{0, 1, 1, 0, 0.5}));
    EXPECT_EQ(readText("{\"ratio\":1} and more"), (StateValues{0, 1, 1, 0, 0.5}));
}

TEST(StateFormat, RefusesTextThatIsNotAnObject)
{
    for (const std::string text : {"[]", "null", "5", "\"text\"", "", " ", "{\"ratio\":", "nonsense"})
        EXPECT_FALSE(readText(text)) << '"' << text << '"';
    // A number beyond double's range cannot be held by the JSON library.
    EXPECT_FALSE(readText("{\"ratio\":1e999}"));
}

TEST(StateFormat, RefusesShortAndMissingStreams)
{
    EXPECT_FALSE(readState(nullptr));
    EXPECT_FALSE(read(""));
    EXPECT_FALSE(read(std::string("\x02\x00", 2)));
    EXPECT_FALSE(read(stateBytes(100, "{}")));
    EXPECT_FALSE(read(stateBytes(0, "{}"))) << "an empty text is a syntax error";
}

TEST(StateFormat, RefusesAnOversizedLengthBeforeAllocatingOrReading)
{
    for (const std::uint32_t length : {0xFFFFFFF0u, maxStateTextBytes + 1}) {
        TestStream stream(stateBytes(length, "{}"));
        test::AllocationCounter counter;
        EXPECT_FALSE(readState(&stream)) << length;
        EXPECT_EQ(counter.allocations(), 0u) << length;
        EXPECT_EQ(stream.largestReadAsked, 4) << length;
    }
    // The cap itself still reads (and then fails on the short stream).
    TestStream atCap(stateBytes(maxStateTextBytes, "{}"));
    EXPECT_FALSE(readState(&atCap));
    EXPECT_EQ(atCap.largestReadAsked, static_cast<Steinberg::int32>(maxStateTextBytes));
}

TEST(StateFormat, NonFiniteValuesAreWrittenAsTheValueTheyActAs)
{
    // JSON has no such numbers; refusing to write would leave the host with
    // no state at all, so each is written as what every consumer makes of
    // it, and the state reads back.
    const double infinity = std::numeric_limits<double>::infinity();
    for (const auto& [bad, actsAs] : {std::pair{std::numeric_limits<double>::quiet_NaN(), 1.0},
                                      std::pair{infinity, 1.0}, std::pair{-infinity, 0.0}}) {
        StateValues values = defaults;
        values[Ratio] = bad;
        const auto readBack = read(written(values));
        ASSERT_TRUE(readBack.has_value()) << bad;
        EXPECT_EQ((*readBack)[Ratio], actsAs) << bad;
        EXPECT_EQ((*readBack)[Target], defaults[Target]) << "the other values stay as they were";
    }
    EXPECT_FALSE(writeState(nullptr, defaults, StateWriter::Processor));
}

TEST(StateFormat, ShortWritesFail)
{
    const std::size_t full = written(defaults).size();
    for (const std::size_t room : {std::size_t{0}, std::size_t{3}, std::size_t{4}, full - 1}) {
        TestStream stream;
        stream.writeRoom = room;
        EXPECT_FALSE(writeState(&stream, defaults, StateWriter::Processor)) << room;
    }
    TestStream exact;
    exact.writeRoom = full;
    EXPECT_TRUE(writeState(&exact, defaults, StateWriter::Processor));
}

TEST(StateFormat, WorksWithTheSdksMemoryStream)
{
    Steinberg::MemoryStream stream;
    ASSERT_TRUE(writeState(&stream, defaults, StateWriter::Controller));
    stream.seek(0, Steinberg::IBStream::kIBSeekSet, nullptr);
    EXPECT_EQ(readState(&stream), defaults);
}

// Found by fuzzing: narrowed to infinities, such values made every later
// save fail (a state cannot hold an infinity), so a project that loaded one
// could no longer be saved.
TEST(StateFormat, NarrowsOutOfRangeValuesToTheLargestFloat)
{
    const Parameters p = toParameters({1e300, -1e300, 0.5, std::numeric_limits<double>::quiet_NaN(), 2.5});
    EXPECT_EQ(p[Bypass], std::numeric_limits<float>::max());
    EXPECT_EQ(p[Speed], -std::numeric_limits<float>::max());
    EXPECT_EQ(p[Ratio], 0.5f);
    EXPECT_NE(p[StereoRatio], p[StereoRatio]);
    EXPECT_EQ(p[Target], 2.5f);
}

// German under the names C runtimes know it by: glibc's (generated by
// scripts/install-deps.sh), then the Windows runtime's.
bool selectCommaDecimalLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de-DE", "German_Germany.1252"})
        if (std::setlocale(LC_ALL, name))
            return true;
    return false;
}

// The comma-decimal locale must exist; without it this test fails rather
// than proving nothing.
TEST(StateFormat, IgnoresTheProcessLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(selectCommaDecimalLocale()) << "no German locale (de_DE.UTF-8) is installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    Parameters p;
    p[Ratio] = 0.3f;
    const std::string text = stateJson(toStateValues(p), StateWriter::Processor);
    const auto restored = readText(R"({"ratio":0.75,"target":1.5e-3})");
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_NE(text.find("\"ratio\":0.30000001192092896,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"target\":0.5,"), std::string::npos) << text;
    EXPECT_EQ(text.find(','), text.find(",\"kind\"")) << "no comma inside a number: " << text;
    EXPECT_EQ(restored, (StateValues{0, 1, 0.75, 0, 0.0015}));
}

} // namespace
} // namespace tarvel
