#include "model/binary_io.h"

#include <iostream>

namespace binary_io {

namespace {

void WriteLittleEndian(std::ostream& out, std::uint32_t value, int bytes) {
  char buffer[4];
  for (int i = 0; i < bytes; ++i) {
    buffer[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
  }
  out.write(buffer, bytes);
}

std::uint32_t ReadLittleEndian(std::istream& in, int bytes) {
  unsigned char buffer[4] = {0, 0, 0, 0};
  in.read(reinterpret_cast<char*>(buffer), bytes);
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    value |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
  }
  return value;
}

}  // namespace

void WriteU8(std::ostream& out, const std::uint8_t& value) { WriteLittleEndian(out, value, 1); }
void WriteU16(std::ostream& out, const std::uint16_t& value) { WriteLittleEndian(out, value, 2); }
void WriteU32(std::ostream& out, const std::uint32_t& value) { WriteLittleEndian(out, value, 4); }

std::uint8_t ReadU8(std::istream& in) { return static_cast<std::uint8_t>(ReadLittleEndian(in, 1)); }
std::uint16_t ReadU16(std::istream& in) { return static_cast<std::uint16_t>(ReadLittleEndian(in, 2)); }
std::uint32_t ReadU32(std::istream& in) { return ReadLittleEndian(in, 4); }

bool IsConsole(const std::ostream& out) { return &out == &std::cout; }

}  // namespace binary_io
