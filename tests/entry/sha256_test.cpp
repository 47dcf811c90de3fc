#include <gtest/gtest.h>

#include <string>

#include "entry/sha256.h"

namespace {

std::string hex(const tarvel::Sha256Digest& digest)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// FIPS 180-4 example messages (NIST CSRC examples).
TEST(Sha256, StandardVectors)
{
    EXPECT_EQ(hex(tarvel::sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex(tarvel::sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex(tarvel::sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hex(tarvel::sha256("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmn"
                                 "hijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu")),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
}

TEST(Sha256, OneMillionLettersInUnevenPieces)
{
    // Pieces of 7 bytes cross every block boundary at a different offset.
    tarvel::Sha256 hash;
    const std::string piece(7, 'a');
    std::size_t fed = 0;
    while (fed + piece.size() <= 1000000) {
        hash.update(piece);
        fed += piece.size();
    }
    hash.update(std::string(1000000 - fed, 'a'));
    EXPECT_EQ(hex(hash.finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PaddingBoundaries)
{
    // 55 bytes fit the length in the last block, 56 need an extra block;
    // incremental and one-shot hashing must agree at both.
    for (std::size_t length : {55u, 56u, 63u, 64u, 65u}) {
        const std::string text(length, 'x');
        tarvel::Sha256 split;
        split.update(text.substr(0, length / 2));
        split.update(text.substr(length / 2));
        EXPECT_EQ(hex(split.finish()), hex(tarvel::sha256(text))) << length;
    }
    EXPECT_EQ(hex(tarvel::sha256(std::string(56, 'a'))),
              "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
}

} // namespace
