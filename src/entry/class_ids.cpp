#include "entry/class_ids.h"

#include "entry/sha256.h"
#include "framework/scrambled_text.h"

namespace tarvel {

std::string classIdSalt()
{
    return VANTLE_TEXT("Vq7#marrow:kettle/Olu9^sedge");
}

ClassId makeClassId(std::string_view name, std::string_view suffix)
{
    Sha256 hash;
    hash.update(name);
    hash.update(classIdSalt());
    hash.update(suffix);
    const Sha256Digest d = hash.finish();
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
               static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
    };
    return ClassId{word(0), word(4), word(8), word(12)};
}

ClassId processorClassId()
{
    return makeClassId(processorClassName, {});
}

ClassId controllerClassId()
{
    return makeClassId(controllerClassName, {});
}

std::int32_t vst2IdFromBytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) noexcept
{
    const auto asSigned = [](std::uint8_t b) { return static_cast<std::int64_t>(static_cast<std::int8_t>(b)); };
    const std::int64_t wide = ((asSigned(b3) * 256 + asSigned(b2)) * 256 + asSigned(b1)) * 256 + asSigned(b0);
    // Wrap to 32 bits the way two's-complement arithmetic would.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

std::int32_t vst2UniqueId()
{
    const std::uint32_t low = makeClassId(processorClassName, vst2Suffix).l1;
    return vst2IdFromBytes(static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(low >> 8),
                           static_cast<std::uint8_t>(low >> 16), static_cast<std::uint8_t>(low >> 24));
}

} // namespace tarvel
