#pragma once
/// \zclass{find::XRamLayerGroup,find} The layers of marks of one view, unique by layer id, with a listener set
/// that is told the id of every layer added.
///
/// Not synchronised apart from the listener set (which has its own mutex): one thread changes the
/// group at a time. References returned by add_layer / layer_by_ID are valid until the next
/// add_layer or sort_layer. Not copyable (the listener set is not).
#include <zor/XEventListener.h>
#include <zor/XRamLayer.h>
#include <zor/zor_export.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace zor {
namespace find {

class ZOR_EXPORT XRamLayerGroup {
public:
    using Listener = XEventListener<std::function<void(unsigned int)>>;

    XRamLayerGroup() = default;
    XRamLayerGroup(const XRamLayerGroup&) = delete;
    XRamLayerGroup& operator=(const XRamLayerGroup&) = delete;

    /// Appends an empty, enabled layer with that id (sorted by id when sort is set) and tells the
    /// listeners. When the id is present nothing changes and the result is a process-wide empty
    /// layer that belongs to no group.
    XRamLayer& add_layer(std::uint32_t id, bool sort);
    /// The layer with that id; without one an error line and a shared empty layer.
    XRamLayer& layer_by_ID(std::uint32_t id);
    bool contains_layer(std::uint32_t id) const { return indexOf(id) >= 0; }
    /// id -1: clears the marks of every layer; otherwise those of the layer with that id. The
    /// layers stay in the group.
    void clear(int id);
    int size() const { return static_cast<int>(m_layers.size()); }
    void sort_layer();  ///< ascending id
    /// Logs "XRamLayerGroup:<size>" and "layer:<layer>" per layer.
    void show(unsigned int level) const;

    const std::vector<XRamLayer>& layers() const { return m_layers; }
    Listener& listeners() { return m_listeners; }

private:
    int indexOf(std::uint32_t id) const;

    Listener m_listeners;
    std::vector<XRamLayer> m_layers;
};

}  // namespace find
}  // namespace zor
