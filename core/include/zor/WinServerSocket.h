#pragma once
/// \zclass{WinServerSocket,net} The listening plain socket. bind(port) takes every local address;
/// bind(port, "127.0.0.1") one. accept waits up to the stored time-out (setTimeoutOption;
/// 30 s until set) for a client and hands out a new WinSocket the caller owns. Owns its handle.
/// One thread at a time.
#include <zor/ServerSocket.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT WinServerSocket : public ServerSocket {
public:
    WinServerSocket();
    ~WinServerSocket() override;

    Socket* accept(bool* timedOut) override;
    bool bind(unsigned short port) override;
    bool bind(unsigned short port, const QString& address);  ///< port 0: the system picks one
    void listen(int connections) override;
    void setTimeoutOption(unsigned int seconds, unsigned int milliseconds, bool receive) override;
    void close() override;
    void setNonblocking() override;
    QString toString() override;
    unsigned int getAcceptTimeoutMs() const { return acceptTimeoutMs; }

private:
    unsigned int acceptTimeoutMs = 30000;
};

}  // namespace zor
