#ifndef OSSIVAR_TESTS_SUPPORT_SIZE_LIMIT_H
#define OSSIVAR_TESTS_SUPPORT_SIZE_LIMIT_H

#include <cstddef>
#include <functional>
#include <string>

namespace test_support {

// A full disk, as near as a test can make one: `check` runs in a child
// process whose files may not grow past `bytes`, so the limit ends with it
// and reaches no other test. Empty when `check` returned true; otherwise
// what went wrong (false, the limit not set, or ended by a signal, as the
// file-size signal would end a program that did not ask to be told).
// POSIX only.
std::string UnderFileSizeLimit(const std::size_t& bytes, const std::function<bool()>& check);

}  // namespace test_support

#endif
