#pragma once
// The operating-system layer: the few calls that differ between platforms. Nothing outside this
// folder includes a system header for them.
#include <QString>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <vector>

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
// Asks for large pages behind a big block that is about to be filled (fewer page faults); advice only.
void adviseHugePages(void* p, std::size_t len);
// Maps len bytes of the open file fd read-only for one pass from front to back: with populate the
// pages are faulted in before the call returns, otherwise the kernel is told to read ahead. Large
// pages are asked for where the system offers them for files. Null on failure (errno kept).
void* mapFileSequential(int fd, std::size_t len, bool populate);
bool unmapFile(void* p, std::size_t len);  // false when p was not a mapping of len bytes
unsigned long long physicalMemory();     // bytes of RAM, 0 when unknown
// One entry of a directory listing with the size that one fstatat relative to the open directory
// found (links are followed; a link whose target is gone is BROKEN_LINK).
struct DirEntry {
    enum Kind : unsigned char { FILE, DIR, LINK_TO_FILE, LINK_TO_DIR, BROKEN_LINK, OTHER, VANISHED };
    QString name;
    long long size = 0;
    Kind kind = OTHER;
    int err = 0;  // the error number of a VANISHED entry
};
// Appends the entries of dir except "." and ".." (and names beginning with "." unless
// withHidden). False, with the error number in *err, when dir cannot be opened or read.
bool listDirectory(const QString& dir, bool withHidden, std::vector<DirEntry>& out, int* err);

}  // namespace platform
}  // namespace zor
