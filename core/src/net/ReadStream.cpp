#include <zor/ReadStream.h>

#include <zor/Logger.h>

#include <cstring>
#include <new>

namespace zor {

ReadStream::ReadStream(AbstractReceiver* r, std::size_t cap) : receiver(r), capacity(cap) {
    buffer = new (std::nothrow) char[capacity + 1];
    scratch = new (std::nothrow) char[capacity + 1];
    if (buffer == nullptr || scratch == nullptr) {
        logError("ReadStream::ReadStream, cannot allocate $ bytes", static_cast<unsigned long long>(capacity));
        delete[] buffer;
        delete[] scratch;
        capacity = 0;
        buffer = new (std::nothrow) char[1];
        scratch = new (std::nothrow) char[1];
        if (buffer == nullptr || scratch == nullptr) nullPointerHandling("libSrc/core/src/tools/io/xsock/ReadStream", 20, QStringLiteral("buffer == NULL"));
    }
    std::memset(buffer, 0, capacity + 1);
    std::memset(scratch, 0, capacity + 1);
    cursor = buffer;
    end = receiver == nullptr ? buffer + capacity : buffer;
}

ReadStream::~ReadStream() {
    delete[] buffer;
    delete[] scratch;
}

bool ReadStream::refill() {
    if (receiver == nullptr || capacity == 0) return false;
    const int r = receiver->receive(buffer, static_cast<int>(capacity > 0x7FFFFFFF ? 0x7FFFFFFF : capacity), 0);
    if (r <= 0) return false;
    cursor = buffer;
    end = buffer + r;
    return true;
}

int ReadStream::readByte() {
    if (cursor >= end && !refill()) return -1;
    return static_cast<unsigned char>(*cursor++);
}

int ReadStream::read(void* dest, int n) {
    if (n < 0) {
        logError("ReadStream::read, n == -1");
        return -1;
    }
    std::size_t count = static_cast<std::size_t>(n);
    if (count > capacity) count = capacity;
    const std::size_t avail = static_cast<std::size_t>(end - cursor);
    if (count > avail) count = avail;
    if (count > 0) std::memcpy(dest, cursor, count);
    cursor += count;
    return static_cast<int>(count);
}

QString ReadStream::readString(bool& ok) {
    std::size_t len = 0;
    bool any = false;
    for (;;) {
        const int c = readByte();
        if (c < 0) break;
        any = true;
        if (c == '\n') {
            ok = true;
            return QString::fromLatin1(scratch, static_cast<int>(len));
        }
        if (c == '\r') continue;
        if (len >= capacity) {
            // Put the byte back: the rest of the line stays for the next read.
            --cursor;
            logWarning("string tooo long:$", static_cast<unsigned long long>(len));
            ok = false;
            return QString::fromLatin1(scratch, static_cast<int>(len));
        }
        scratch[len++] = static_cast<char>(c);
    }
    // The input ended: a last line without LF still counts.
    ok = any;
    return QString::fromLatin1(scratch, static_cast<int>(len));
}

void ReadStream::fill(char c) {
    std::memset(buffer, c, capacity);
    cursor = buffer;
    end = buffer + capacity;
}

void ReadStream::fill_0123456789() {
    for (std::size_t i = 0; i < capacity; ++i) buffer[i] = static_cast<char>('0' + i % 10);
    cursor = buffer;
    end = buffer + capacity;
}

void ReadStream::fill_ABC() {
    for (std::size_t i = 0; i < capacity; ++i) buffer[i] = static_cast<char>('A' + i % 26);
    cursor = buffer;
    end = buffer + capacity;
}

}  // namespace zor
