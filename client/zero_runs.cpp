#include "client/zero_runs.h"

#include <cstring>

namespace {

void AppendCount(std::vector<uint8_t>& out, size_t count) {
    out.push_back(static_cast<uint8_t>(count));
    out.push_back(static_cast<uint8_t>(count >> 8));
}

size_t ReadCount(const uint8_t* at) {
    return at[0] | (at[1] << 8);
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
        // A lone zero between literal bytes costs less as a literal than as a run.
        size_t literalEnd = at;
        while (literalEnd < size && literalEnd - at < 0xFFFF &&
               (bytes[literalEnd] != 0 || (literalEnd + 1 < size && bytes[literalEnd + 1] != 0)))
            ++literalEnd;
        size_t zeroEnd = literalEnd;
        while (zeroEnd < size && zeroEnd - literalEnd < 0xFFFF && bytes[zeroEnd] == 0)
            ++zeroEnd;
        AppendCount(packed, literalEnd - at);
        packed.insert(packed.end(), bytes + at, bytes + literalEnd);
        AppendCount(packed, zeroEnd - literalEnd);
        at = zeroEnd;
    }
}

bool UnpackZeroRunsPiece(const uint8_t* packed, size_t packedSize, void* out, size_t size,
                         size_t& used) {
    uint8_t* bytes = static_cast<uint8_t*>(out);
    size_t filled = 0, at = 0;
    while (filled < size) {
        if (packedSize - at < 2)
            return false;
        size_t literals = ReadCount(packed + at);
        at += 2;
        if (packedSize - at < literals + 2 || size - filled < literals)
            return false;
        memcpy(bytes + filled, packed + at, literals);
        filled += literals;
        at += literals;
        size_t zeros = ReadCount(packed + at);
        at += 2;
        if (size - filled < zeros)
            return false;
        memset(bytes + filled, 0, zeros);
        filled += zeros;
    }
    used = at;
    return true;
}

bool UnpackZeroRuns(const uint8_t* packed, size_t packedSize, void* out, size_t size) {
    size_t used = 0;
    return UnpackZeroRunsPiece(packed, packedSize, out, size, used) && used == packedSize;
}
