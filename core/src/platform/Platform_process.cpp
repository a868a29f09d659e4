#include "platform/Platform.h"

#include <cerrno>
#include <unistd.h>

extern char** environ;

namespace zor {
namespace platform {

char* const* environmentBlock() { return environ; }

int execProgram(const char* path, char* const argv[], char* const env[], int* err) {
    const int rc = ::execve(path, argv, env);
    if (err != nullptr) *err = errno;
    return rc;
}

}  // namespace platform
}  // namespace zor
