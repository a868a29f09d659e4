#pragma once
/// \zclass{ServerSocket,net} The listening side of the plain-socket family: bind, listen, accept with a
/// time-out. It moves no data itself (read gives nothing, the block transfers fail). accept hands
/// out a new connected Socket that the caller owns. One thread at a time.
#include <zor/Socket.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT ServerSocket : public Socket {
public:
    using Socket::Socket;
    ~ServerSocket() override;

    bool receiveMemBlock(XMem& mem, int timeoutMs) override;  ///< false
    bool sendMemBlock(XMem& mem, int timeoutMs) override;     ///< false
    XByteArray read(unsigned int length, int timeoutMs) override;
    XByteArray readAll(int timeoutMs) override;

    virtual Socket* accept(bool* timedOut) = 0;
    virtual bool bind(unsigned short port) = 0;
    virtual void listen(int connections) = 0;
};

}  // namespace zor
