#pragma once
/// \zclass{Child,xml} The schema node naming one element type that an element of the described type may hold
/// ("type"), with "countMin" and "countMax" ("*" or "n" for unlimited).
///
/// A node of the tree, owned by its parent; not thread-safe.
#include <zor/XNode.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT Child : public XNode {
public:
    static constexpr unsigned int UNLIMITED = 4294967295u;

    QString getTheType() const { return getString(QStringLiteral("type"), QString()); }
    /// The number; UNLIMITED for "*" or "n"; 0 when missing or no number.
    unsigned int countMin() const;
    unsigned int countMax() const;
    QString toString() const override;  ///< "theType 'Button', countMin:0, countMax:4294967295"
    QString realTypeAsString() const override { return QStringLiteral("Child"); }
};

}  // namespace zor
