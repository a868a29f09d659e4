#include <zor/ServerSocket.h>

namespace zor {

ServerSocket::~ServerSocket() = default;

bool ServerSocket::receiveMemBlock(XMem&, int) { return false; }
bool ServerSocket::sendMemBlock(XMem&, int) { return false; }
XByteArray ServerSocket::read(unsigned int, int) { return XByteArray(); }
XByteArray ServerSocket::readAll(int) { return XByteArray(); }

}  // namespace zor
