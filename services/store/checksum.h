// CRC-32 (the polynomial of zip and Ethernet) of a byte range, continued from `crc`.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);
