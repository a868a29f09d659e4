#include <zor/Base64.h>
#include <zor/String64.h>

namespace zor {

void String64::fromString(const QString& text) { m_base64 = base64_encode(text); }

QString String64::toString() const { return base64_decode(m_base64); }

}  // namespace zor
