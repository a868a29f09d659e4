#include <zor/Logger.h>
#include <zor/XStringStream.h>
#include <zor/XTree.h>
#include <zor/XTreeArray.h>

namespace zor {

const QString XTreeArray::str_XTreeArray = QStringLiteral("XTreeArray");

namespace detail {
void printArray(XStringStream& ss, const XTypeSupporter& ts, const XTreeArray& array, unsigned int indent,
                const QString& name);
}

XTreeArray::XTreeArray(XTreeArray&& other) noexcept
    : XObject(other),
      m_array(other.m_array),
      m_type(other.m_type),
      m_release(other.m_release),
      m_size(other.m_size),
      m_category(other.m_category),
      m_holds(other.m_holds) {
    if (is_debug()) logDebug("XTreeArray::XTreeArray, MOVE");
    other.m_array = nullptr;
    other.m_release = nullptr;
    other.m_size = 0;
    setParentToChildren();
}

XTreeArray& XTreeArray::operator=(XTreeArray&& other) noexcept {
    if (this == &other) return *this;
    if (is_debug()) logDebug("XTreeArray::operator=, MOVE");
    _deleteContents();
    XObject::operator=(other);
    m_array = other.m_array;
    m_type = other.m_type;
    m_release = other.m_release;
    m_size = other.m_size;
    m_category = other.m_category;
    m_holds = other.m_holds;
    other.m_array = nullptr;
    other.m_release = nullptr;
    other.m_size = 0;
    setParentToChildren();
    return *this;
}

XTreeArray::~XTreeArray() { _deleteContents(); }

void XTreeArray::_deleteContents() {
    if (is_debug()) {
        logDebug("XTreeArray::_deleteContents");
        if (m_release != nullptr) logDebug("XTreeArray::destruct != nullptr");
        if (m_array != nullptr) logDebug("XTreeArray::ar != nullptr");
    }
    if (m_array != nullptr && m_release != nullptr) {
        if (is_debug()) logDebug("XTreeArray::_deleteContents, delete []array");
        m_release(m_array);
        m_array = nullptr;
        m_release = nullptr;
        m_size = 0;
    }
}

void XTreeArray::setParentToChildren() {
    if (XTree* t = trees()) {
        for (std::uint64_t i = 0; i < m_size; ++i) t[i].setParentUnchecked(this);
    } else if (XLink* l = links()) {
        for (std::uint64_t i = 0; i < m_size; ++i) l[i].setParentUnchecked(this);
    }
}

XTree* XTreeArray::getTree(const QString& key) { return dynamic_cast<XTree*>(objectByKey(key)); }

XObject* XTreeArray::objectByKey(const QString& key) {
    if (key.isEmpty()) return nullptr;
    if (isCategorySimple()) {
        logWarning("XTreeArray::objectByKey, wrong type <$>", m_type);
        return nullptr;
    }
    bool ok = false;
    const std::uint64_t index = key.toULongLong(&ok, 10);
    if (!ok) return nullptr;
    if (index >= m_size || m_array == nullptr) {
        logWarning("XTreeArray::objectByKey, index:$ out of range 0-$", index, m_size);
        return nullptr;
    }
    if (XTree* t = trees()) return t + index;
    if (isCategoryLink()) {
        XLink* l = links();
        if (m_type != XTypeSet::str_XLink || l == nullptr) {
            logWarning("XTreeArray::getPointerAt, wrong type<$>, expected <$>", XTypeSet::str_XLink, m_type);
            return nullptr;
        }
        return l + index;
    }
    return nullptr;
}

QString XTreeArray::keyOf(const XObject* child) const {
    if (child == nullptr || m_array == nullptr) return QString();
    if (const XTree* t = trees()) {
        const auto* c = dynamic_cast<const XTree*>(child);
        if (c != nullptr && c >= t && c < t + m_size) return QString::number(c - t);
    } else if (const XLink* l = links()) {
        const auto* c = dynamic_cast<const XLink*>(child);
        if (c != nullptr && c >= l && c < l + m_size) return QString::number(c - l);
    }
    return QString();
}

QString XTreeArray::toString(const XTypeSupporter&) const {
    return xformat("XTreeArray<$>, category:$, elements:$", m_type, XVal::categoryToString(m_category), m_size);
}

QString XTreeArray::toStringExtended(const XTypeSupporter& ts) const {
    return toString(ts) + QStringLiteral(", ") + ts.arrayAsString(*this);
}

void XTreeArray::show(const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                      std::int64_t index) const {
    XObject::show(ts, indent, name, arrow, index);
}

void XTreeArray::toStream(XStringStream& ss, const XTypeSupporter& ts, unsigned int indent, const QString& name, bool,
                          std::int64_t) const {
    detail::printArray(ss, ts, *this, indent, name);
}

void XTreeArray::showExtended(unsigned int indent, const XTypeSupporter& ts) const {
    detail::logAt(INFO, indent, "XTreeArray, type:<$>, size:$", m_type, m_size);
    showExtended(indent, QString(), ts);
}

void XTreeArray::showExtended(unsigned int indent, const QString& name, const XTypeSupporter& ts) const {
    show(ts, indent, name, false, -1);
}

void XTreeArray::showTrees(unsigned int indent, const QString& name, std::uint64_t, const XTypeSupporter& ts) const {
    show(ts, indent, name, false, -1);
}

void XTreeArray::toStreamTrees(XStringStream& ss, unsigned int indent, const QString& name,
                               const XTypeSupporter& ts) const {
    detail::printArray(ss, ts, *this, indent, name);
}

void XTreeArray::toStream_Extended(XStringStream& ss, unsigned int indent, const QString& name,
                                   const XTypeSupporter& ts) const {
    detail::printArray(ss, ts, *this, indent, name);
}

}  // namespace zor
