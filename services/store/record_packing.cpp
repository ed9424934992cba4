#include "services/store/record_packing.h"

#include <cstdint>
#include <cstring>

namespace {

// Zero runs shorter than this cost more as a run than as literal bytes.
constexpr size_t kShortestZeroRun = 4;

void AppendNumber(std::string& out, size_t value) {
    do {
        uint8_t byte = value & 0x7F;
        value >>= 7;
        out += static_cast<char>(value ? byte | 0x80 : byte);
    } while (value);
}

bool ReadNumber(const char*& at, const char* end, size_t& value) {
    value = 0;
    for (int shift = 0; at < end && shift < 35; shift += 7) {
        uint8_t byte = static_cast<uint8_t>(*at++);
        value |= size_t{byte & 0x7Fu} << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

size_t ZeroRunAt(const char* bytes, size_t from, size_t size) {
    size_t end = from;
    while (end < size && bytes[end] == 0)
        ++end;
    return end - from;
}

} // namespace

std::string PackRecord(const AllotrixDbRec& record) {
    const char* bytes = reinterpret_cast<const char*>(&record);
    constexpr size_t size = sizeof record;
    std::string out;
    size_t literalStart = 0, at = 0;
    auto flushLiteral = [&] {
        if (at > literalStart) {
            AppendNumber(out, (at - literalStart) << 1);
            out.append(bytes + literalStart, at - literalStart);
        }
    };
    while (at < size) {
        size_t zeros = bytes[at] == 0 ? ZeroRunAt(bytes, at, size) : 0;
        if (zeros >= kShortestZeroRun) {
            flushLiteral();
            AppendNumber(out, (zeros << 1) | 1);
            at += zeros;
            literalStart = at;
        } else {
            at += zeros ? zeros : 1;
        }
    }
    flushLiteral();
    return out;
}

bool UnpackRecord(const char* bytes, size_t length, AllotrixDbRec& record) {
    char* out = reinterpret_cast<char*>(&record);
    constexpr size_t size = sizeof record;
    const char* at = bytes;
    const char* end = bytes + length;
    size_t filled = 0;
    while (at < end) {
        size_t token;
        if (!ReadNumber(at, end, token))
            return false;
        size_t run = token >> 1;
        if (run == 0 || run > size - filled)
            return false;
        if (token & 1) {
            memset(out + filled, 0, run);
        } else {
            if (static_cast<size_t>(end - at) < run)
                return false;
            memcpy(out + filled, at, run);
            at += run;
        }
        filled += run;
    }
    return filled == size;
}
