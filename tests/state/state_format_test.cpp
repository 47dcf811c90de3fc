#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "processor/state/state_format.h"
#include "public.sdk/source/common/memorystream.h"

namespace tarvel {
namespace {

std::string bytesOf(Steinberg::MemoryStream& stream)
{
    return std::string(stream.getData(), static_cast<std::size_t>(stream.getSize()));
}

// A stream holding a length word and then the given bytes.
Steinberg::IPtr<Steinberg::MemoryStream> streamWith(std::uint32_t length, const std::string& text)
{
    auto stream = Steinberg::owned(new Steinberg::MemoryStream);
    unsigned char word[4] = {static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8),
                             static_cast<unsigned char>(length >> 16), static_cast<unsigned char>(length >> 24)};
    Steinberg::int32 written = 0;
    stream->write(word, 4, &written);
    if (!text.empty())
        stream->write(const_cast<char*>(text.data()), static_cast<Steinberg::int32>(text.size()), &written);
    stream->seek(0, Steinberg::IBStream::kIBSeekSet, nullptr);
    return stream;
}

Steinberg::IPtr<Steinberg::MemoryStream> streamWith(const std::string& text)
{
    return streamWith(static_cast<std::uint32_t>(text.size()), text);
}

const StateValues defaults{0, 1, 0.5, 0, 0.5};

TEST(StateFormat, WritesALengthWordAndCompactSortedJson)
{
    Steinberg::MemoryStream stream;
    ASSERT_TRUE(writeState(&stream, toStateValues(Parameters{}), StateWriter::Processor));
    const std::string bytes = bytesOf(stream);
    const std::string text = stateJson(defaults, StateWriter::Processor);
    ASSERT_EQ(bytes.size(), 4 + text.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8, text.size());
    EXPECT_EQ(bytes.substr(4), text);
    EXPECT_EQ(text.find(' '), std::string::npos);
    EXPECT_EQ(text.rfind("{\"bypass\":0,\"kind\":\"", 0), 0u) << text;
    EXPECT_NE(text.find("\"ratio\":0.5,\"speed\":1,\"stereoRatio\":0,\"target\":0.5,\"version\":1}"),
              std::string::npos)
        << text;
    EXPECT_NE(stateJson(defaults, StateWriter::Processor), stateJson(defaults, StateWriter::Controller));
}

TEST(StateFormat, RoundTripsByteIdentically)
{
    Parameters p;
    p[Ratio] = 0.3f;
    p[Target] = 2.5f;
    Steinberg::MemoryStream first;
    ASSERT_TRUE(writeState(&first, toStateValues(p), StateWriter::Processor));
    EXPECT_NE(bytesOf(first).find("0.30000001192092896"), std::string::npos);
    first.seek(0, Steinberg::IBStream::kIBSeekSet, nullptr);
    const auto read = readState(&first);
    ASSERT_TRUE(read);
    EXPECT_EQ(toParameters(*read), p);
    EXPECT_EQ((*read)[Target], 2.5);
    Steinberg::MemoryStream second;
    ASSERT_TRUE(writeState(&second, *read, StateWriter::Processor));
    EXPECT_EQ(bytesOf(first), bytesOf(second));
}

TEST(StateFormat, MissingOrMistypedMembersTakeTheirDefaults)
{
    EXPECT_EQ(readState(streamWith("{}")), defaults);
    auto withString = readState(streamWith("{\"speed\":\"1\",\"ratio\":0.25,\"bypass\":null,\"x\":3}"));
    ASSERT_TRUE(withString);
    EXPECT_EQ((*withString)[Speed], 1.0);
    EXPECT_EQ((*withString)[Ratio], 0.25);
    EXPECT_EQ((*withString)[Bypass], 0.0);
    // Trailing text and the other writer's kind are fine.
    EXPECT_TRUE(readState(streamWith(stateJson(defaults, StateWriter::Controller) + "\n")));
}

TEST(StateFormat, RefusesMalformedStates)
{
    for (const std::string text : {"[]", "null", "5", "", "{\"ratio\":", "nonsense"})
        EXPECT_FALSE(readState(streamWith(text))) << text;
    EXPECT_FALSE(readState(streamWith(100, "{}")));
    EXPECT_FALSE(readState(nullptr));
    Steinberg::MemoryStream empty;
    EXPECT_FALSE(readState(&empty));
}

// A length word far above anything written is refused without trying to
// allocate it.
TEST(StateFormat, RefusesAnOversizedLengthBeforeAllocating)
{
    EXPECT_FALSE(readState(streamWith(0xFFFFFFF0u, "{}")));
    EXPECT_FALSE(readState(streamWith(maxStateTextBytes + 1, "{}")));
}

TEST(StateFormat, RefusesNonFiniteValuesAndShortWrites)
{
    StateValues bad = defaults;
    bad[Ratio] = std::numeric_limits<double>::quiet_NaN();
    Steinberg::MemoryStream stream;
    EXPECT_FALSE(writeState(&stream, bad, StateWriter::Processor));
    EXPECT_EQ(stream.getSize(), 0);
    EXPECT_FALSE(writeState(nullptr, defaults, StateWriter::Processor));
}

TEST(StateFormat, IgnoresTheProcessLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "scripts/install-deps.sh generates this locale";
    const std::string text = stateJson(defaults, StateWriter::Processor);
    const auto read = readState(streamWith("{\"ratio\":0.75}"));
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_NE(text.find("\"ratio\":0.5"), std::string::npos) << text;
    ASSERT_TRUE(read);
    EXPECT_EQ((*read)[Ratio], 0.75);
}

} // namespace
} // namespace tarvel
