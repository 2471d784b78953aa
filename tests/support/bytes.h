#ifndef OSSIVAR_TESTS_SUPPORT_BYTES_H
#define OSSIVAR_TESTS_SUPPORT_BYTES_H

// Expected file forms spelled out byte by byte, little-endian as records
// store their numbers.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace test_support {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes += static_cast<char>(value);
  return bytes;
}

inline std::string U16(std::uint16_t value) { return Bytes({value & 0xFF, value >> 8}); }

inline std::string U32(std::uint32_t value) {
  return Bytes({static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF), static_cast<int>(value >> 24)});
}

}  // namespace test_support

#endif
