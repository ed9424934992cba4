// Zero-run packing: pieces packed one after the other unpack as a whole and one at a time, and
// packed bytes that are cut short or give too many bytes are refused.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "client/zero_runs.h"

namespace {

// Runs of zeros and of other bytes at random: of every short length, some long ones.
std::vector<uint8_t> Piece(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (size_t at = 0; at < size;) {
        const size_t run = random() % 10 == 0 ? 1 + random() % 200 : 1 + random() % 9;
        const uint8_t value = random() % 3 == 0 ? 0 : uint8_t(1 + random() % 255);
        for (size_t i = 0; i < run && at < size; ++i, ++at)
            bytes[at] = value;
    }
    return bytes;
}

TEST(ZeroRuns, PiecesPackedOneByOneUnpackAsAWholeAndOneAtATime) {
    std::vector<std::vector<uint8_t>> pieces = {
        std::vector<uint8_t>(964, 0),
        std::vector<uint8_t>(70000, 7), // a literal longer than one count can say
        std::vector<uint8_t>(70000, 0), // so is this zero run
    };
    for (unsigned seed = 1; seed < 40; ++seed)
        pieces.push_back(Piece(seed * 41, seed));
    std::vector<uint8_t> packed, whole;
    for (const auto& piece : pieces) {
        const size_t before = packed.size();
        AppendZeroRuns(packed, piece.data(), piece.size());
        EXPECT_LE(packed.size() - before, LargestPackedSize(piece.size()));
        whole.insert(whole.end(), piece.begin(), piece.end());
    }

    std::vector<uint8_t> unpacked(whole.size());
    ASSERT_TRUE(UnpackZeroRuns(packed.data(), packed.size(), unpacked.data(), unpacked.size()));
    EXPECT_EQ(whole, unpacked);

    size_t at = 0;
    for (const auto& piece : pieces) {
        std::vector<uint8_t> one(piece.size(), 0xCC);
        size_t used = 0;
        ASSERT_TRUE(UnpackZeroRunsPiece(packed.data() + at, packed.size() - at, one.data(),
                                        one.size(), used));
        EXPECT_EQ(piece, one);
        at += used;
    }
    EXPECT_EQ(packed.size(), at);
}

TEST(ZeroRuns, PackedBytesCutShortOrGivingOtherSizesAreRefused) {
    const std::vector<uint8_t> piece = Piece(964, 3);
    const std::vector<uint8_t> packed = PackZeroRuns(piece.data(), piece.size());
    std::vector<uint8_t> out(piece.size() + 10);
    size_t used = 0;
    for (size_t cut = 0; cut < packed.size(); ++cut)
        EXPECT_FALSE(UnpackZeroRunsPiece(packed.data(), cut, out.data(), piece.size(), used))
            << cut;
    EXPECT_FALSE(UnpackZeroRuns(packed.data(), packed.size(), out.data(), piece.size() + 10));
    EXPECT_FALSE(UnpackZeroRuns(packed.data(), packed.size(), out.data(), piece.size() - 1));
    // Reading fewer bytes than a piece holds is refused where a run would overshoot them.
    EXPECT_FALSE(UnpackZeroRunsPiece(packed.data(), packed.size(), out.data(), 25, used));
    std::vector<uint8_t> trailing = packed;
    trailing.push_back(0);
    EXPECT_FALSE(UnpackZeroRuns(trailing.data(), trailing.size(), out.data(), piece.size()));
    const std::vector<uint8_t> endless(8, 0xFF); // literal bytes the data does not hold
    EXPECT_FALSE(UnpackZeroRuns(endless.data(), endless.size(), out.data(), out.size()));
}

} // namespace
