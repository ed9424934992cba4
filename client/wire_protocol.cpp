#include "client/wire_protocol.h"

#include "client/zero_runs.h"

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

void Writer::Packed(const void* data, size_t size) {
    AppendZeroRuns(m_data, data, size);
}

void Writer::PatchU32(size_t offset, uint32_t value) {
    memcpy(m_data.data() + offset, &value, sizeof value);
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

} // namespace wire
