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
      m_category(other.m_category),
      m_held(other.m_held),
      m_bytes(other.m_bytes),
      m_destructor(other.m_destructor),
      m_object(other.m_object),
      m_name(other.m_name) {
    if (s_debug) logDebug("XVal::XVal - MOVE");
    other.forgetValue();
}

XVal& XVal::operator=(XVal&& other) noexcept {
    if (this == &other) return *this;
    if (s_debug) logDebug("XVal::operator= MOVE");
    m_val = other.m_val;
    m_type = other.m_type;
    m_category = other.m_category;
    if (m_destructor != nullptr) {
        if (s_debug) logDebug("XVal::operator= MOVE - destruct !");
        // The old value goes through the pointer its destructor holds, not through m_val, which
        // already names the new value.
        m_destructor->kill();
        delete m_destructor;
    }
    m_destructor = other.m_destructor;
    m_held = other.m_held;
    m_bytes = other.m_bytes;
    m_object = other.m_object;
    m_name = other.m_name;
    other.forgetValue();
    return *this;
}

XVal::~XVal() {
    if (s_debug) logDebug("XVal::~XVal, destruction start_global");
    if (m_destructor != nullptr) {
        if (m_val != nullptr) {
            if (s_debug) logDebug("XVal::~XVal, DESTRUCT");
            m_destructor->kill();
        }
        delete m_destructor;
    }
    if (s_debug) logDebug("XVal::~XVal, destruction finished");
}

void XVal::destroyValue() {
    if (m_destructor != nullptr) {
        if (m_val != nullptr) m_destructor->kill();
        delete m_destructor;
        m_destructor = nullptr;
    }
    forgetValue();
}

void XVal::forgetValue() {
    m_val = nullptr;
    m_destructor = nullptr;
    m_held = Held::UNKNOWN;
    m_bytes = 0;
    m_object = nullptr;
    m_name = nullptr;
}

void XVal::adopt(void* p, const QString& type, XCategory category, XDestructor* destructor) {
    destroyValue();
    m_val = p;
    m_type = type;
    m_category = category;
    m_destructor = destructor;
}

// The downcasts below are sound: m_held says which class the object was stored as.
XTree* XVal::tree() const {
    return m_category == XCategory::TREE && m_held == Held::TREE ? static_cast<XTree*>(m_object) : nullptr;
}

XTreeArray* XVal::array() const {
    return m_category == XCategory::ARRAY && m_held == Held::ARRAY ? static_cast<XTreeArray*>(m_object) : nullptr;
}

XLink* XVal::link() const {
    return m_category == XCategory::LINK && m_held == Held::LINK ? static_cast<XLink*>(m_object) : nullptr;
}

bool XVal::isSamePointer(const void* p) const {
    if (p == nullptr) nullPointerHandling("libSrc/core/include/zor/inline/XVal_inline", 60, QStringLiteral("pMem == NULL"));
    return m_val == p;
}

unsigned int XVal::countElements() const {
    if (m_val == nullptr) {
        logError("XVal::countElements, pVal == nullptr");
        return 0;
    }
    // A value smaller than the word (or of a size not known) gives only the bytes it has.
    unsigned int n = 0;
    std::memcpy(&n, m_val, qMin<std::size_t>(sizeof n, m_bytes));
    return n;
}

void XVal::setCountElements(unsigned int n) {
    if (m_val == nullptr) {
        logError("XVal::setCountElements, pVal == nullptr");
        return;
    }
    std::memcpy(m_val, &n, qMin<std::size_t>(sizeof n, m_bytes));
}

QString XVal::categoryToString(XCategory c) { return categoryToString(static_cast<std::uint8_t>(c)); }

QString XVal::categoryToString(std::uint8_t code) {
    switch (code) {
        case 1: return QStringLiteral("SIMPLE");
        case 2: return QStringLiteral("TREE");
        case 3: return QStringLiteral("ARRAY");
        case 4: return QStringLiteral("LINK");
        default: return QStringLiteral("UNKNOWN-CATEGORY");
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
        default: logWarning("XVal::toStringExtended - wrong place her, category:$", static_cast<int>(m_category)); break;
    }
    return s;
}

void XVal::showExtended(unsigned int indent, const XTypeSupporter& ts) const {
    detail::logAt(INFO, indent, "$", toStringExtended(ts));
}

}  // namespace zor
