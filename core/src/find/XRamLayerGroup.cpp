#include <zor/Logger.h>
#include <zor/XRamLayerGroup.h>

#include <algorithm>

namespace zor {
namespace find {

namespace {

// The layer handed out when a call has no layer of the group to give. It is emptied on every
// hand-out, so a caller's marks on it never show up elsewhere.
XRamLayer& detachedLayer() {
    static thread_local XRamLayer layer;
    layer = XRamLayer();
    return layer;
}

}  // namespace

int XRamLayerGroup::indexOf(std::uint32_t id) const {
    for (std::size_t i = 0; i < m_layers.size(); ++i)
        if (m_layers[i].is_id_layer(id)) return static_cast<int>(i);
    return -1;
}

XRamLayer& XRamLayerGroup::add_layer(std::uint32_t id, bool sort) {
    if (indexOf(id) >= 0) return detachedLayer();
    m_layers.emplace_back(id);
    if (sort) sort_layer();
    m_listeners.call(static_cast<unsigned int>(id));
    return layer_by_ID(id);
}

XRamLayer& XRamLayerGroup::layer_by_ID(std::uint32_t id) {
    const int i = indexOf(id);
    if (i >= 0) return m_layers[static_cast<std::size_t>(i)];
    logError("XRamLayerGroup::layer_by_ID, id:$ not found", id);
    return detachedLayer();
}

void XRamLayerGroup::clear(int id) {
    if (id == -1) {
        for (XRamLayer& l : m_layers) l.clear();
        return;
    }
    const int i = id < 0 ? -1 : indexOf(static_cast<std::uint32_t>(id));
    if (i >= 0) m_layers[static_cast<std::size_t>(i)].clear();
}

void XRamLayerGroup::sort_layer() {
    std::sort(m_layers.begin(), m_layers.end(),
              [](const XRamLayer& a, const XRamLayer& b) { return a.id_layer() < b.id_layer(); });
}

void XRamLayerGroup::show(unsigned int level) const {
    logDebugSpace(level, "XRamLayerGroup:$", m_layers.size());
    for (const XRamLayer& l : m_layers) logDebugSpace(level + 2, "layer:$", l.toString());
}

}  // namespace find
}  // namespace zor
