// Packing for bytes that are mostly zeros, such as quota records with their long text fields:
// pairs of a 16-bit little-endian count of literal bytes, those bytes, and a 16-bit count of zero
// bytes that follow them. Used on the quota service's pipe and in its record store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<uint8_t> PackZeroRuns(const void* bytes, size_t size);
// Appends the packed bytes to `out`: packings of consecutive pieces, appended one after the
// other, unpack as the packing of the whole.
void AppendZeroRuns(std::vector<uint8_t>& out, const void* bytes, size_t size);

// Unpacks into exactly `size` bytes at `out`; false when the packed bytes are malformed or do
// not give exactly that many (`out` is then unspecified).
bool UnpackZeroRuns(const uint8_t* packed, size_t packedSize, void* out, size_t size);
// Unpacks the first `size` bytes of a stream of pieces packed one by one (AppendZeroRuns per
// piece): `used` tells how many packed bytes they took. False when the packed bytes are malformed
// or do not end a piece after exactly `size` bytes.
bool UnpackZeroRunsPiece(const uint8_t* packed, size_t packedSize, void* out, size_t size,
                         size_t& used);
// Checks the first piece as UnpackZeroRunsPiece does, without unpacking it.
bool MeasureZeroRunsPiece(const uint8_t* packed, size_t packedSize, size_t size, size_t& used);

// The most bytes `size` bytes can take packed.
constexpr size_t LargestPackedSize(size_t size) {
    return size * 5 / 3 + 8;
}
