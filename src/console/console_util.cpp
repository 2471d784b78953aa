#include "console/console_util.h"

#include "platform/terminal.h"

namespace console {
namespace {

constexpr char kHorizontalLine[] =
    "================================================================================\n";
static_assert(sizeof(kHorizontalLine) == 82, "80 '=', a newline and the terminator");

}  // namespace

const char* HorizontalLine() { return kHorizontalLine; }

void NewScreen() { terminal::Clear(); }

void Pause() { terminal::WaitKey(); }

}  // namespace console
