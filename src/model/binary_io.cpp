#include "model/binary_io.h"

#include <iostream>

namespace binary_io {

bool IsConsole(const std::ostream& out) { return &out == &std::cout; }

}  // namespace binary_io
