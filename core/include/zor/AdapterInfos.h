#pragma once
/// \zclass{AdapterInfos,net} The machine's IPv4 addresses, those of its network adapters first and
/// "127.0.0.1" last. A plain value; enumAdapters() fills it. Not thread-safe.
#include <zor/zor_export.h>

#include <QStringList>

namespace zor {

class ZOR_EXPORT AdapterInfos {
public:
    int enumAdapters();  ///< 0 when listed; the list is then never empty
    void show(unsigned int indent) const;
    const QStringList& addresses() const { return m_addresses; }

private:
    QStringList m_addresses;
};

}  // namespace zor
