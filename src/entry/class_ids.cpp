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

    // Word 1 keeps its little-endian bytes; word 2 is split into two 16-bit
    // halves, high half first, each little-endian; words 3 and 4 are stored
    // big-endian.
    return ClassId{d[0], d[1], d[2], d[3], d[6], d[7], d[4], d[5],
                   d[11], d[10], d[9], d[8], d[15], d[14], d[13], d[12]};
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
    const ClassId id = makeClassId(processorClassName, vst2Suffix);
    return vst2IdFromBytes(id[0], id[1], id[2], id[3]);
}

} // namespace tarvel
