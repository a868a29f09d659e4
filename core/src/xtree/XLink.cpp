#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XLink.h>
#include <zor/XTree.h>

namespace zor {

const QString XLink::str_XLink = QStringLiteral("XLink");

XLink::XLink(XLink&& other) noexcept : XObject(other), m_object(other.m_object), m_url(std::move(other.m_url)) {}

XLink& XLink::operator=(XLink&& other) noexcept {
    XObject::operator=(other);
    m_object = other.m_object;
    m_url = std::move(other.m_url);
    return *this;
}

XLink::~XLink() = default;

QString XLink::toString(const XTypeSupporter&) const { return str_XLink; }

bool XLink::pointer_to_URL() {
    if (m_object == nullptr) {
        logWarning("XLink::pointer_to_URL, pObject == nullptr");
        return false;
    }
    m_url = m_object->path();
    return true;
}

bool XLink::URL_to_pointer(XTree* owner) {
    if (owner == nullptr)
        nullPointerHandling("libSrc/core/src/tools/xtree/XLink", 60, QStringLiteral("pTreeSomeOwner == NULL"));
    if (m_url.isEmpty()) {
        logWarning("XLink::URL_to_pointer, url == \"\" ");
        return false;
    }
    m_object = owner->pointerFromPath<XTree>(m_url);
    if (m_object == nullptr) {
        logWarning("XLink::URL_to_pointer, url '$' not found", m_url);
        return false;
    }
    return true;
}

}  // namespace zor
