#pragma once
/// \zclass{WinSocket,net} The plain-socket client on a connected system socket (the name is the library's own
/// on every platform). Owns its handle and closes it when destroyed. One thread at a time.
///
/// sendMemBlock and receiveMemBlock move a whole block: a single system call may move part of it,
/// so they go on until the block is done, the peer closes or a call waits longer than the time-out.
#include <zor/Socket.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT WinSocket : public Socket {
public:
    explicit WinSocket(long long handle, const QString& name = QString(), int port = 0);
    ~WinSocket() override;

    int receive(void* buffer, int length, int flags) override;
    int send(const void* buffer, int length, int flags) override;
    /// With timeoutMs != 0 first sets the send time-out; true when every byte went out.
    bool sendMemBlock(XMem& mem, int timeoutMs) override;
    /// Fills the whole block. A time-out sets error 110 in the block, the peer closing error 120;
    /// both still give true, as a partial block is the caller's to judge. Other errors give false.
    bool receiveMemBlock(XMem& mem, int timeoutMs) override;
    void setTimeoutOption(unsigned int seconds, unsigned int milliseconds, bool receive) override;
    void close() override;
    void setNonblocking() override;
    QString toString() override;
};

}  // namespace zor
