#pragma once
/// \zclass{XObject,xtree} The base of everything that stands in a typed tree (XTree, XTreeArray, XLink): a flag
/// word and a pointer to the parent (not owned; null for a root). Parents are set by the tree that
/// holds the object (XTree::set_parent_recursive) and are valid while that tree is not moved.
/// One thread at a time; the debug switch is atomic.
#include <zor/AtomicBits.h>
#include <zor/XCategory.h>
#include <zor/zor_export.h>

#include <QString>
#include <atomic>
#include <cstdint>

namespace zor {

class XTree;
class XTypeSupporter;
class XStringStream;

class ZOR_EXPORT XObject {
public:
    static const QString str_XObject;  ///< "XObject"

    XObject() = default;
    XObject(const XObject& other) : flags(other.flags.value()), m_parent(other.m_parent) {}
    XObject& operator=(const XObject& other) {
        flags = other.flags.value();
        m_parent = other.m_parent;
        return *this;
    }
    virtual ~XObject();

    virtual QString toString(const XTypeSupporter& ts) const;  ///< "XObject"
    virtual XCategory category() const { return XCategory::SIMPLE; }
    virtual XTree* getTree(const QString& key);
    virtual XObject* objectByKey(const QString& key);
    virtual QString keyOf(const XObject* child) const;
    /// "/key1/key2/3" from the root down to this object; a root's path is empty.
    virtual QString path() const;
    virtual void show(const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                      std::int64_t index) const;
    virtual void toStream(XStringStream& ss, const XTypeSupporter& ts, unsigned int indent, const QString& name,
                          bool arrow, std::int64_t index) const;

    XObject* parent() const { return m_parent; }
    void setParent(XObject* p);  ///< null p is a fatal check
    XObject* rootObject();       ///< follows the parents to the top
    const XObject* rootObject() const;
    bool isRoot() const { return m_parent == nullptr; }
    unsigned int level() const;  ///< number of ancestors
    bool hasSameRoot(XObject* other);  ///< null other is a fatal check

    static void set_debug(bool on) { s_debug.store(on, std::memory_order_relaxed); }
    static bool is_debug() { return s_debug.load(std::memory_order_relaxed); }

    AtomicBits flags;

protected:
    void _swapObject(XObject&& other);  ///< flags and parent
    void setParentUnchecked(XObject* p) { m_parent = p; }
    friend class XTree;  ///< containers set the parents of what they hold
    friend class XTreeArray;
    friend class XDataStream;  ///< sets the parents while it reads

private:
    XObject* m_parent = nullptr;
    static std::atomic<bool> s_debug;
};

}  // namespace zor
