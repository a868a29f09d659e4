#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XLink.h>
#include <zor/XTree.h>
#include <zor/XTreeArray.h>
#include <zor/XTypeSupporter.h>
#include <zor/XVal.h>

#include <cstring>

namespace zor {

bool XVal::s_debug = false;

XVal::XVal(XVal&& other) noexcept
    : m_type(other.m_type),
      m_val(other.m_val),
      m_kind(other.m_kind),
      m_category(other.m_category),
      m_store(other.m_store),
      m_local(other.m_local) {
    if (s_debug) logDebug("XVal::XVal - MOVE");
    if (m_store == Store::LOCAL) m_val = m_local.bytes;  // the bytes came along
    other.forgetValue();
}

XVal& XVal::operator=(XVal&& other) noexcept {
    if (this == &other) return *this;
    if (s_debug) logDebug("XVal::operator= MOVE");
    // Everything of other is taken before the old value goes: other may live inside it.
    const QString type = other.m_type;
    void* val = other.m_val;
    const Kind* kind = other.m_kind;
    const XCategory category = other.m_category;
    const Store store = other.m_store;
    const Local local = other.m_local;
    other.forgetValue();
    if (destructor() != nullptr && s_debug) logDebug("XVal::operator= MOVE - destruct !");
    destroyValue();
    m_type = type;
    m_val = store == Store::LOCAL ? m_local.bytes : val;
    m_kind = kind;
    m_category = category;
    m_store = store;
    m_local = local;
    return *this;
}

XVal::~XVal() {
    if (s_debug) {
        logDebug("XVal::~XVal, destruction start_global");
        if (ownsValue() && m_val != nullptr) logDebug("XVal::~XVal, DESTRUCT");
    }
    destroyValue();
    if (s_debug) logDebug("XVal::~XVal, destruction finished");
}

void XVal::destroyValue() {
    switch (m_store) {
        case Store::LOCAL:
            if (!m_kind->trivial) m_kind->destroy(m_val, Store::LOCAL);
            break;
        case Store::HEAP:
        case Store::HEAP_ARRAY:
            m_kind->destroy(m_val, m_store);
            break;
        case Store::FOREIGN:
            if (XDestructor* d = m_local.held.destructor) {
                if (m_val != nullptr) d->kill();
                delete d;
            }
            break;
        case Store::NONE:
            break;
    }
    forgetValue();
}

void XVal::forgetValue() {
    m_val = nullptr;
    m_kind = nullptr;
    m_store = Store::NONE;
    m_local.held.destructor = nullptr;
    m_local.held.object = nullptr;
}

void XVal::adopt(void* p, const QString& type, XCategory category, XDestructor* destructor) {
    destroyValue();
    m_val = p;
    m_type = type;
    m_category = category;
    m_store = Store::FOREIGN;
    m_local.held.destructor = destructor;
}

bool XVal::isSamePointer(const void* p) const {
    if (p == nullptr)
        nullPointerHandling("libSrc/core/include/zor/inline/XVal_inline", 60, QStringLiteral("pMem == NULL"));
    return m_val == p;
}

unsigned int XVal::countElements() const {
    if (m_val == nullptr) {
        logError("XVal::countElements, pVal == nullptr");
        return 0;
    }
    // A value smaller than the word (or of a size not known) gives only the bytes it has.
    unsigned int n = 0;
    std::memcpy(&n, m_val, qMin<std::size_t>(sizeof n, m_kind != nullptr ? m_kind->size : 0));
    return n;
}

void XVal::setCountElements(unsigned int n) {
    if (m_val == nullptr) {
        logError("XVal::setCountElements, pVal == nullptr");
        return;
    }
    std::memcpy(m_val, &n, qMin<std::size_t>(sizeof n, m_kind != nullptr ? m_kind->size : 0));
}

QString XVal::categoryToString(XCategory c) { return categoryToString(static_cast<std::uint8_t>(c)); }

QString XVal::categoryToString(std::uint8_t code) {
    switch (code) {
        case 1:
            return QStringLiteral("SIMPLE");
        case 2:
            return QStringLiteral("TREE");
        case 3:
            return QStringLiteral("ARRAY");
        case 4:
            return QStringLiteral("LINK");
        default:
            return QStringLiteral("UNKNOWN-CATEGORY");
    }
}

QString XVal::toString() const { return toStringExtended(XTypeSupporter::basicTypes()); }

QString XVal::toStringExtended(const XTypeSupporter& ts) const {
    if (m_val == nullptr) return QStringLiteral("pVal == nullptr");
    QString s = m_type + QStringLiteral(", ");
    switch (m_category) {
        case XCategory::ARRAY:
            if (const XTreeArray* a = array()) s += ts.arrayAsString(*a);
            break;
        case XCategory::TREE:
            s += QStringLiteral("XTREE?");
            break;
        case XCategory::SIMPLE: {
            const QString text = ts.val_simpleType_as_String(*this);
            s += text.isNull() ? xformat("XTypeSupporter@$<$> not supported!", ts.toString(), m_type) : text;
            break;
        }
        default:
            logWarning("XVal::toStringExtended - wrong place her, category:$", static_cast<int>(m_category));
            break;
    }
    return s;
}

void XVal::showExtended(unsigned int indent, const XTypeSupporter& ts) const {
    detail::logAt(INFO, indent, "$", toStringExtended(ts));
}

}  // namespace zor
