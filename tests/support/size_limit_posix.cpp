#include "support/size_limit.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

std::string UnderFileSizeLimit(const std::size_t& bytes, const std::function<bool()>& check) {
  const pid_t child = ::fork();
  if (child < 0) return "no child process";
  if (child == 0) {
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return "the child was lost";
  if (!WIFEXITED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
  switch (WEXITSTATUS(status)) {
    case 0:
      return "";
    case 2:
      return "the limit could not be set";
    default:
      return "the check failed under the limit";
  }
}

}  // namespace test_support
