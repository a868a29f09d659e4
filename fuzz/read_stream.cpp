// ReadStream line and byte reading over a receiver that serves the input in small chunks. The
// first bytes choose the buffer capacity, the chunk size and the mix of calls. Checks: every
// call ends, no line is longer than the capacity and no byte is read that was not served.
#include <zor/AbstractReceiver.h>
#include <zor/ReadStream.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class ChunkReceiver : public zor::AbstractReceiver {
public:
    ChunkReceiver(const std::uint8_t* d, std::size_t n, int chunk) : data(d), size(n), chunk(chunk) {}
    int receive(void* buffer, int length, int) override {
        if (length < 0) std::abort();
        std::size_t n = size - pos;
        if (n > static_cast<std::size_t>(chunk)) n = static_cast<std::size_t>(chunk);
        if (n > static_cast<std::size_t>(length)) n = static_cast<std::size_t>(length);
        if (n > 0) std::memcpy(buffer, data + pos, n);
        pos += n;
        return static_cast<int>(n);
    }
    int closeReceiver() override { return 0; }

    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    int chunk;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::size_t capacity = data[0] % 80;
    const int chunk = 1 + data[1] % 23;
    const std::uint8_t mix = data[2];
    ChunkReceiver receiver(data + 3, size - 3, chunk);
    zor::ReadStream rs(&receiver, capacity);

    std::size_t consumed = 0;  // bytes handed out, line terminators and CRs included as upper bound
    std::vector<char> out(capacity + 8);
    // Each round consumes at least one byte or ends: the bound only guards against a hang.
    for (std::size_t round = 0; round <= size + 2; ++round) {
        const int op = (mix >> ((round % 4) * 2)) & 3;
        if (op == 0 || op == 3) {
            bool ok = false;
            const QString line = rs.readString(ok);
            if (static_cast<std::size_t>(line.size()) > capacity) std::abort();
            consumed += static_cast<std::size_t>(line.size());
            if (!ok && line.isEmpty() && receiver.pos == receiver.size && !rs.canReceive()) break;
        } else if (op == 1) {
            const int b = rs.readByte();
            if (b < -1 || b > 255) std::abort();
            if (b == -1) {
                if (receiver.pos != receiver.size && capacity > 0) std::abort();
                break;
            }
            ++consumed;
        } else {
            const int want = static_cast<int>(round % (capacity + 5));
            const int got = rs.read(out.data(), want);
            if (got < 0 || got > want || static_cast<std::size_t>(got) > capacity) std::abort();
            consumed += static_cast<std::size_t>(got);
            if (rs.readByte() == -1) break;
            ++consumed;
        }
        if (consumed > receiver.pos) std::abort();
    }
    return 0;
}
