#pragma once
// The operating-system layer: the few calls that differ between platforms. Nothing outside this
// folder includes a system header for them.
#include <QString>
#include <cstddef>
#include <cstdio>
#include <ctime>

namespace zor {
namespace platform {

unsigned int currentThreadId();  // kernel thread id
unsigned int processId();
bool localTime(std::time_t seconds, std::tm& out);  // false when the time cannot be broken down
QString systemErrorText(int errnum);                  // empty when the system has no text for it
void hideConsoleWindow();                             // nothing to hide on this platform
unsigned int hardwareThreads();
QString osVersion();
bool setEnvironment(const char* name, const char* value);

// The process environment block ("NAME=value" strings, null-terminated); owned by the process and
// valid until the environment changes.
char* const* environmentBlock();
// Replaces the process image by the program at path (execve). Returns only on failure: -1, with
// the error number in *err.
int execProgram(const char* path, char* const argv[], char* const env[], int* err);

// The process heap (malloc and free here). processHeap() is null when there is none.
void* processHeap();
void* heapAllocate(void* heap, std::size_t sz);  // null on failure
bool heapFree(void* heap, void* p);              // false when the block cannot be returned

// Stream reads and writes without the stream's own lock: the caller holds its own.
std::size_t freadUnlocked(void* p, std::size_t n, std::FILE* fp);
std::size_t fwriteUnlocked(const void* p, std::size_t n, std::FILE* fp);

// The size of the file at path now, following links; -1 when it cannot be read (a removed file).
long long fileSizeByName(const QString& path);
// Tells the system that the mapped range will be read once from front to back (read-ahead).
void adviseSequential(const void* p, std::size_t len);

}  // namespace platform
}  // namespace zor
