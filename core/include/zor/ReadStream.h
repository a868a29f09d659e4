#pragma once
/// \zclass{ReadStream,net} Buffered byte and line reading over an AbstractReceiver (a socket or a file).
/// The buffer holds `capacity` bytes; it is refilled by one receive when it is used up. Without a
/// receiver the buffer counts as full of zeros. Lines end at LF; CR is dropped; a line longer than
/// the capacity is cut there (with a log line) and the rest stays in the stream.
/// Does not own the receiver. Not thread-safe.
#include <zor/AbstractReceiver.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>

namespace zor {

class ZOR_EXPORT ReadStream {
public:
    ReadStream(AbstractReceiver* receiver, std::size_t capacity);
    ~ReadStream();
    ReadStream(const ReadStream&) = delete;
    ReadStream& operator=(const ReadStream&) = delete;

    int readByte();                 ///< 0..255, or -1 at the end or on error
    int read(void* dest, int n);    ///< what is buffered, at most n (never more than the capacity)
    /// The next line (Latin-1); ok is false at the end of the input or for a line cut short.
    QString readString(bool& ok);

    bool canReceive() const { return cursor < end; }
    int countCanRead() const { return static_cast<int>(end - cursor); }
    std::size_t pos() const { return static_cast<std::size_t>(cursor - buffer); }
    std::size_t getCapacity() const { return capacity; }

    /// Fill the whole buffer (and make it readable from the start) with one character, with
    /// "0123456789" repeated, or with "ABC...Z" repeated.
    void fill(char c);
    void fill_0123456789();
    void fill_ABC();

private:
    bool refill();

    AbstractReceiver* receiver = nullptr;
    std::size_t capacity = 0;
    char* buffer = nullptr;   // capacity + 1 bytes
    char* scratch = nullptr;  // capacity + 1 bytes: the line being collected
    char* cursor = nullptr;
    char* end = nullptr;
};

}  // namespace zor
