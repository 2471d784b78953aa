#ifndef OSSIVAR_MODEL_BINARY_IO_H
#define OSSIVAR_MODEL_BINARY_IO_H

#include <cstdint>
#include <istream>
#include <ostream>

// Little-endian integers, as every record stores them. A short read leaves
// the missing bytes zero.
namespace binary_io {

void WriteU8(std::ostream& out, const std::uint8_t& value);
void WriteU16(std::ostream& out, const std::uint16_t& value);
void WriteU32(std::ostream& out, const std::uint32_t& value);

std::uint8_t ReadU8(std::istream& in);
std::uint16_t ReadU16(std::istream& in);
std::uint32_t ReadU32(std::istream& in);

// Whether a record is written in its console form: only the process's own
// standard output object gets it, every other stream gets the file form.
bool IsConsole(const std::ostream& out);

}  // namespace binary_io

#endif
