#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XTreeArray.h>
#include <zor/XTypeSupporter.h>
#include <zor/XVal.h>

#include <cstring>

namespace zor {

bool XVal::s_debug = false;

XVal::XVal(XVal&& other) noexcept
    : m_type(other.m_type), m_val(other.m_val), m_category(other.m_category), m_destructor(other.m_destructor) {
    if (s_debug) logDebug("XVal::XVal - MOVE");
    other.m_val = nullptr;
    other.m_destructor = nullptr;
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
    other.m_val = nullptr;
    other.m_destructor = nullptr;
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
    m_val = nullptr;
}

void XVal::adopt(void* p, const QString& type, XCategory category, XDestructor* destructor) {
    destroyValue();
    m_val = p;
    m_type = type;
    m_category = category;
    m_destructor = destructor;
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
    unsigned int n = 0;
    std::memcpy(&n, m_val, sizeof n);
    return n;
}

void XVal::setCountElements(unsigned int n) {
    if (m_val == nullptr) {
        logError("XVal::setCountElements, pVal == nullptr");
        return;
    }
    std::memcpy(m_val, &n, sizeof n);
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
        case XCategory::ARRAY: s += ts.arrayAsString(*static_cast<const XTreeArray*>(m_val)); break;
        case XCategory::TREE: s += QStringLiteral("XTREE?"); break;
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
