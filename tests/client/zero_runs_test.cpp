// Zero-run packing: bytes of every mix of runs come back exactly, whole or piece by piece, and
// packed bytes that are cut short or give too many bytes are refused.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "client/zero_runs.h"

namespace {

std::vector<uint8_t> Piece(size_t size, size_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        // Literal stretches, lone zeros and long zero runs, differing from piece to piece.
        const size_t at = (i + seed) % 97;
        bytes[i] = at < 20 ? uint8_t(1 + (i * 7 + seed) % 250) : at == 30 ? 0 : at > 60 ? 0 : 9;
    }
    return bytes;
}

TEST(ZeroRuns, RunsOfEveryShortLengthAtTheStartInsideAndAtTheEndComeBack) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<uint8_t> bytes(round * 41);
        for (size_t at = 0; at < bytes.size();) {
            const size_t run = 1 + random() % 9;
            const uint8_t value = random() % 3 == 0 ? 0 : uint8_t(1 + random() % 255);
            for (size_t i = 0; i < run && at < bytes.size(); ++i, ++at)
                bytes[at] = value;
        }
        const std::vector<uint8_t> packed = PackZeroRuns(bytes.data(), bytes.size());
        EXPECT_LE(packed.size(), LargestPackedSize(bytes.size()));
        std::vector<uint8_t> unpacked(bytes.size(), 0xCC);
        ASSERT_TRUE(UnpackZeroRuns(packed.data(), packed.size(), unpacked.data(), bytes.size()));
        ASSERT_EQ(bytes, unpacked) << "round " << round;
    }
}

TEST(ZeroRuns, PiecesPackedOneByOneUnpackAsAWholeAndOneAtATime) {
    const std::vector<std::vector<uint8_t>> pieces = {
        Piece(964, 1),
        std::vector<uint8_t>(964, 0),
        Piece(964, 5),
        std::vector<uint8_t>(70000, 7), // a literal longer than one count can say
        std::vector<uint8_t>(70000, 0), // so is this zero run
        Piece(964, 11)};
    std::vector<uint8_t> packed, whole;
    for (const auto& piece : pieces) {
        AppendZeroRuns(packed, piece.data(), piece.size());
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
