#include <zor/XSocket.h>

#include <zor/Logger.h>

namespace zor {

XSocket::XSocket(QObject* parent) : QTcpSocket(parent), BasicSocket(this) { logDebug("XSocket::XSocket"); }

XSocket::~XSocket() { logDestruct("XSocket::~XSocket"); }

}  // namespace zor
