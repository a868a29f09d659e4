#include <zor/AdapterInfos.h>

#include <zor/Logger.h>

#include "platform/PlatformSockets.h"

namespace zor {

int AdapterInfos::enumAdapters() {
    m_addresses.clear();
    QStringList found;
    const int err = platform::listIPv4Addresses(found);
    if (err != 0) {
        logError(QString::asprintf("GetAdaptersInfo failed with error %d", err).toLatin1().constData());
        return 1;
    }
    for (const QString& a : found) {
        if (a != QLatin1String("0.0.0.0")) m_addresses.append(a);
    }
    m_addresses.append(QStringLiteral("127.0.0.1"));
    return 0;
}

void AdapterInfos::show(unsigned int indent) const {
    logDebugSpace(indent, "adapters:$", m_addresses.size());
    for (const QString& a : m_addresses) logDebugSpace(indent + 2, "adapter $", a);
}

}  // namespace zor
