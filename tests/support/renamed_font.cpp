#include "support/renamed_font.h"

#include <cstddef>
#include <iterator>
#include <utility>

namespace tarvel::test {

namespace {

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 | std::uint32_t(bytes[at + 2]) << 8 |
           std::uint32_t(bytes[at + 3]);
}

std::uint16_t read16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::uint16_t(bytes[at] << 8 | bytes[at + 1]);
}

void put16(std::vector<std::uint8_t>& bytes, std::size_t value)
{
    bytes.push_back(std::uint8_t(value >> 8));
    bytes.push_back(std::uint8_t(value));
}

void write32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (24 - 8 * i));
}

// The sum of the big-endian 32-bit words, the last one padded with zeros.
std::uint32_t checksum(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t length)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; i += 4) {
        std::uint32_t word = 0;
        for (std::size_t j = 0; j < 4; ++j)
            word = word << 8 | (i + j < length ? bytes[from + i + j] : 0u);
        sum += word;
    }
    return sum;
}

// Format 0, Windows platform, Unicode BMP, US English: the records sorted
// by name id as the format requires.
std::vector<std::uint8_t> namingTable(const std::u16string& family)
{
    std::u16string postScript;
    for (char16_t c : family)
        if (c != u' ')
            postScript += c;
    const std::pair<int, std::u16string> names[] = {
        {1, family}, {2, u"Regular"}, {3, family}, {4, family}, {6, postScript}};
    const std::size_t count = std::size(names);
    std::vector<std::uint8_t> table;
    put16(table, 0);
    put16(table, count);
    put16(table, 6 + 12 * count);
    std::vector<std::uint8_t> strings;
    for (const auto& [id, text] : names) {
        put16(table, 3);
        put16(table, 1);
        put16(table, 0x0409);
        put16(table, std::size_t(id));
        put16(table, text.size() * 2);
        put16(table, strings.size());
        for (char16_t c : text)
            put16(strings, c);
    }
    table.insert(table.end(), strings.begin(), strings.end());
    return table;
}

} // namespace

std::vector<std::uint8_t> withFamilyName(const std::vector<std::uint8_t>& font, const std::u16string& family)
{
    if (font.size() < 12)
        return {};
    const std::uint32_t version = read32(font, 0);
    if (version != 0x00010000u && version != 0x4F54544Fu) // TrueType, 'OTTO'
        return {};
    const std::size_t tables = read16(font, 4);
    const std::size_t directoryEnd = 12 + 16 * tables;
    if (font.size() < directoryEnd)
        return {};

    std::vector<std::uint8_t> result(font.begin(), font.begin() + std::ptrdiff_t(directoryEnd));
    std::size_t headAt = 0;
    for (std::size_t i = 0; i < tables; ++i) {
        const std::size_t record = 12 + 16 * i;
        const std::uint32_t tag = read32(font, record);
        const std::size_t offset = read32(font, record + 8);
        const std::size_t length = read32(font, record + 12);
        if (offset > font.size() || length > font.size() - offset)
            return {};
        std::vector<std::uint8_t> data = tag == 0x6E616D65u /* name */
                                             ? namingTable(family)
                                             : std::vector<std::uint8_t>(font.begin() + std::ptrdiff_t(offset),
                                                                         font.begin() + std::ptrdiff_t(offset + length));
        const std::size_t at = result.size();
        if (tag == 0x68656164u /* head */) {
            if (data.size() < 12)
                return {};
            headAt = at;
            write32(data, 8, 0); // checkSumAdjustment, set once all is in place
        }
        result.insert(result.end(), data.begin(), data.end());
        result.resize((result.size() + 3) / 4 * 4, 0);
        write32(result, record + 4, checksum(result, at, data.size()));
        write32(result, record + 8, std::uint32_t(at));
        write32(result, record + 12, std::uint32_t(data.size()));
    }
    if (headAt != 0)
        write32(result, headAt + 8, 0xB1B0AFBAu - checksum(result, 0, result.size()));
    return result;
}

} // namespace tarvel::test
