#include "foundation/scrambled_text.h"

namespace vantle {

std::string decodeLiteral(std::span<const std::uint32_t> words)
{
    std::string text;
    KeyStream keys;
    for (const std::uint32_t word : words) {
        const auto plain = static_cast<char>(static_cast<std::uint8_t>(word & 0xFFu) ^ keys.next());
        if (plain == '\0')
            break;
        text.push_back(plain);
    }
    return text;
}

std::vector<std::uint8_t> decodeAsset(const std::uint8_t* stored, std::size_t count)
{
    std::vector<std::uint8_t> plain(count);
    KeyStream keys;
    for (std::size_t i = 0; i < count; ++i)
        plain[i] = stored[i] ^ keys.next();
    return plain;
}

} // namespace vantle
