#pragma once
/// \zclass{XLink,xtree} A reference from one place of a tree to a tree elsewhere in the same document. It keeps
/// the target (not owned) and its path; files hold only the path, so after reading or copying a
/// tree its links are resolved again from their paths (XTree::URL_to_pointer). One thread at a time.
#include <zor/XObject.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT XLink : public XObject {
public:
    static const QString str_XLink;  ///< "XLink"

    XLink() = default;
    explicit XLink(XObject* object) : m_object(object) {}
    explicit XLink(const QString& url) : m_url(url) {}
    XLink(const XLink& other) = default;
    XLink(XLink&& other) noexcept;
    XLink& operator=(const XLink& other) = default;
    XLink& operator=(XLink&& other) noexcept;
    ~XLink() override;

    XCategory category() const override { return XCategory::LINK; }
    QString toString(const XTypeSupporter& ts) const override;  ///< "XLink"

    XObject* object() { return m_object; }
    const XObject* object() const { return m_object; }
    void setObject(XObject* object) { m_object = object; }
    const QString& url() const { return m_url; }
    void setURL(const QString& url) { m_url = url; }
    explicit operator bool() const { return m_object != nullptr; }
    bool isValid() const { return m_object != nullptr; }

    /// url = the target's path; false (with an error line) without a target.
    bool pointer_to_URL();
    /// Finds the target by its url, starting at owner (a null owner is a fatal check); false (with
    /// an error line) for an empty url or one that leads nowhere.
    bool URL_to_pointer(XTree* owner);

private:
    XObject* m_object = nullptr;
    QString m_url;
};

}  // namespace zor
