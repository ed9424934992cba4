#include "client/zero_runs.h"

#include <algorithm>
#include <cstring>

namespace {

void AppendCount(std::vector<uint8_t>& out, size_t count) {
    out.push_back(static_cast<uint8_t>(count));
    out.push_back(static_cast<uint8_t>(count >> 8));
}

size_t ReadCount(const uint8_t* at) {
    return at[0] | (at[1] << 8);
}

// The end of the literal bytes from `at`: the first zero followed by another zero (or by the
// end), at most 0xFFFF bytes on. A lone zero between literal bytes costs less as a literal than
// as a run.
size_t LiteralEnd(const uint8_t* bytes, size_t at, size_t size) {
    const size_t limit = std::min(size, at + 0xFFFF);
    for (size_t from = at; from < limit;) {
        const void* zero = memchr(bytes + from, 0, limit - from);
        if (!zero)
            return limit;
        size_t found = static_cast<size_t>(static_cast<const uint8_t*>(zero) - bytes);
        if (found + 1 == size || bytes[found + 1] == 0)
            return found;
        from = found + 1;
    }
    return limit;
}

// The end of the zero bytes from `at`, at most 0xFFFF bytes on; eight at a time where it can.
size_t ZeroEnd(const uint8_t* bytes, size_t at, size_t size) {
    const size_t limit = std::min(size, at + 0xFFFF);
    uint64_t word;
    while (at + sizeof word <= limit && (memcpy(&word, bytes + at, sizeof word), word == 0))
        at += sizeof word;
    while (at < limit && bytes[at] == 0)
        ++at;
    return at;
}

// Walks the runs of one piece of `size` bytes, copying them to `bytes` unless it is null.
bool WalkPiece(const uint8_t* packed, size_t packedSize, uint8_t* bytes, size_t size,
               size_t& used) {
    size_t filled = 0, at = 0;
    while (filled < size) {
        if (packedSize - at < 2)
            return false;
        size_t literals = ReadCount(packed + at);
        at += 2;
        if (packedSize - at < literals + 2 || size - filled < literals)
            return false;
        if (bytes)
            memcpy(bytes + filled, packed + at, literals);
        filled += literals;
        at += literals;
        size_t zeros = ReadCount(packed + at);
        at += 2;
        if (size - filled < zeros)
            return false;
        if (bytes)
            memset(bytes + filled, 0, zeros);
        filled += zeros;
    }
    used = at;
    return true;
}

} // namespace

std::vector<uint8_t> PackZeroRuns(const void* bytes, size_t size) {
    std::vector<uint8_t> packed;
    packed.reserve(size / 4 + 16);
    AppendZeroRuns(packed, bytes, size);
    return packed;
}

void AppendZeroRuns(std::vector<uint8_t>& packed, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t at = 0;
    while (at < size) {
        size_t literalEnd = LiteralEnd(bytes, at, size);
        size_t zeroEnd = ZeroEnd(bytes, literalEnd, size);
        AppendCount(packed, literalEnd - at);
        packed.insert(packed.end(), bytes + at, bytes + literalEnd);
        AppendCount(packed, zeroEnd - literalEnd);
        at = zeroEnd;
    }
}

bool UnpackZeroRunsPiece(const uint8_t* packed, size_t packedSize, void* out, size_t size,
                         size_t& used) {
    return WalkPiece(packed, packedSize, static_cast<uint8_t*>(out), size, used);
}

bool MeasureZeroRunsPiece(const uint8_t* packed, size_t packedSize, size_t size, size_t& used) {
    return WalkPiece(packed, packedSize, nullptr, size, used);
}

bool UnpackZeroRuns(const uint8_t* packed, size_t packedSize, void* out, size_t size) {
    size_t used = 0;
    return UnpackZeroRunsPiece(packed, packedSize, out, size, used) && used == packedSize;
}
