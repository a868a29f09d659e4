#pragma once
/// \zfile{global} The program-ending paths for broken invariants. Both stop the logger, print their notice to
/// standard output, wait five seconds and end the process with exit code 1. Call sites pass their
/// own source path (relative, for example "libSrc/core/src/tools/log/Logger") and line.
#include <zor/zor_export.h>

#include <QString>

[[noreturn]] ZOR_EXPORT void nullPointerHandling(const char* file, int line, const QString& what);
[[noreturn]] ZOR_EXPORT void boolExpressionHandling(const char* file, int line);
