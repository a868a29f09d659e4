#pragma once
/// \zfile{mem} Base64 of text: the UTF-8 bytes of a string in standard Base64 (RFC 4648 alphabet, "="
/// padding), and back. Decoding skips characters outside the alphabet.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

ZOR_EXPORT QString base64_encode(const QString& s);
ZOR_EXPORT QString base64_decode(const QString& s);

}  // namespace zor
