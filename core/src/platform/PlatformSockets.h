#pragma once
// The socket layer of the operating system behind the plain-socket family (BSD sockets here, in
// place of Windows Sockets 2). Handles are plain integers, 0 meaning none. Error numbers follow
// the library's Windows heritage where callers test them: a time-out reads as 10060.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace zor {
namespace platform {

using SocketHandle = long long;

constexpr int kSocketTimedOut = 10060;  // what a receive or send time-out reports

bool socketLibraryStartup();  // once per process; nothing to start on this platform
SocketHandle tcpSocket();     // 0 on failure (see lastSocketError)
bool closeSocket(SocketHandle h);
bool setBlocking(SocketHandle h, bool blocking);
// The first IPv4 address of host (network byte order); false with the resolver's text.
bool resolveIPv4(const QString& host, std::uint32_t& address, QString& errorText);
// Starts a connect; true when connected or under way.
bool connectStart(SocketHandle h, std::uint32_t address, unsigned short port);
// Waits up to ms for a started connect: true when it is established (writable without error).
bool waitConnected(SocketHandle h, int ms);
// Receive (receive = true) or send time-out in ms, 0 = no limit.
bool setSocketTimeout(SocketHandle h, unsigned int ms, bool receive);
int socketRecv(SocketHandle h, void* buffer, int length, int flags);
int socketSend(SocketHandle h, const void* buffer, int length, int flags);  // never raises SIGPIPE
int lastSocketError();  // the error of the last failed call: errno, with time-outs as 10060
QString socketErrorText(int err);
// Binds to address (dotted IPv4; empty = any) and port; port 0 lets the system choose.
bool bindTcp(SocketHandle h, const QString& address, unsigned short port);
bool listenSocket(SocketHandle h, int backlog);
int waitReadable(SocketHandle h, int ms);  // 1 ready, 0 not within ms, -1 error
SocketHandle acceptSocket(SocketHandle h);  // 0 on failure
int localPort(SocketHandle h);              // -1 when unknown
// Every IPv4 address of the network interfaces, loopback ones left out; 0 or an error number.
int listIPv4Addresses(QStringList& out);

}  // namespace platform
}  // namespace zor
