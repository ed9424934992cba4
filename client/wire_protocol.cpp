#include "client/wire_protocol.h"

#include <cstring>

namespace wire {

void Writer::String(const char* text) {
    if (!text)
        text = "";
    size_t size = strlen(text) + 1;
    U32(static_cast<uint32_t>(size));
    Bytes(text, size);
}

void Writer::Bytes(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    m_data.insert(m_data.end(), bytes, bytes + size);
}

bool Reader::Bytes(void* data, size_t size) {
    if (!m_ok || size > m_left)
        return m_ok = false;
    memcpy(data, m_data, size);
    m_data += size;
    m_left -= size;
    return true;
}

bool Reader::String(std::string& text, size_t capacity) {
    uint32_t size = 0;
    if (!U32(size) || size == 0 || size > capacity || size > m_left)
        return m_ok = false;
    const char* chars = reinterpret_cast<const char*>(m_data);
    if (chars[size - 1] != '\0' || strlen(chars) != size - 1)
        return m_ok = false;
    text.assign(chars, size - 1);
    m_data += size;
    m_left -= size;
    return true;
}

bool Reader::String(char* buffer, size_t capacity) {
    std::string text;
    if (!String(text, capacity))
        return false;
    memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

std::vector<uint8_t> PackZeros(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> packed;
    packed.reserve(bytes.size() / 4 + 16);
    size_t at = 0;
    while (at < bytes.size()) {
        size_t literalEnd = at;
        while (literalEnd < bytes.size() && literalEnd - at < 0xFFFF &&
               (bytes[literalEnd] != 0 ||
                (literalEnd + 1 < bytes.size() && bytes[literalEnd + 1] != 0)))
            ++literalEnd;
        size_t zeroEnd = literalEnd;
        while (zeroEnd < bytes.size() && zeroEnd - literalEnd < 0xFFFF && bytes[zeroEnd] == 0)
            ++zeroEnd;
        uint16_t literals = static_cast<uint16_t>(literalEnd - at);
        uint16_t zeros = static_cast<uint16_t>(zeroEnd - literalEnd);
        packed.push_back(static_cast<uint8_t>(literals));
        packed.push_back(static_cast<uint8_t>(literals >> 8));
        packed.insert(packed.end(), bytes.begin() + at, bytes.begin() + literalEnd);
        packed.push_back(static_cast<uint8_t>(zeros));
        packed.push_back(static_cast<uint8_t>(zeros >> 8));
        at = zeroEnd;
    }
    return packed;
}

bool UnpackZeros(const uint8_t* packed, size_t packedSize, size_t size, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(size);
    size_t at = 0;
    while (at < packedSize) {
        if (packedSize - at < 2)
            return false;
        size_t literals = packed[at] | (packed[at + 1] << 8);
        at += 2;
        if (packedSize - at < literals + 2 || out.size() + literals > size)
            return false;
        out.insert(out.end(), packed + at, packed + at + literals);
        at += literals;
        size_t zeros = packed[at] | (packed[at + 1] << 8);
        at += 2;
        if (out.size() + zeros > size)
            return false;
        out.resize(out.size() + zeros);
    }
    return out.size() == size;
}

} // namespace wire
