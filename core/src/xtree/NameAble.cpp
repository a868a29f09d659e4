#include <zor/NameAble.h>

namespace zor {

NameAble::~NameAble() = default;

QString NameAble::zorType() const { return QStringLiteral("zor::NameAble"); }

}  // namespace zor
