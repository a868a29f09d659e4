// XMimeType::fromString on arbitrary text, the text form of what it gives, and the extension
// lookups. A value with a type renders to a text whose type and subtype parse back the same.
#include <zor/XMimeType.h>

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 16 * 1024) return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const zor::XMimeType m = zor::XMimeType::fromString(text);
    const QString s = m.toString();
    if (m.hasType() == s.isEmpty()) std::abort();
    (void)m.isQtImage();
    (void)m.getFileExtension();
    (void)zor::XMimeType::fromFile(text);
    (void)zor::XMimeType::fromFileExtension(text);
    return 0;
}
