#pragma once
/// \zclass{XUtf8_Info,text} One character and its UTF-8 form, for displays and diagnostics: the bytes as hex
/// text, the bytes read as one big-endian number (0xC3A9 for U+00E9), an HTML entity.
///
/// A plain value; decode() fills hex and value from ch.
#include <zor/zor_export.h>

#include <QChar>
#include <QString>
#include <cstdint>

namespace zor {

class ZOR_EXPORT XUtf8_Info {
public:
    QChar ch;
    QString hex;              ///< "%02X " per UTF-8 byte
    std::uint32_t value = 0;  ///< the UTF-8 bytes as one big-endian number

    XUtf8_Info() = default;
    explicit XUtf8_Info(QChar c) : ch(c) { decode(); }

    void decode();
    QString toString() const;  ///< "'ch', hex:C3 A9 , dec:50089"
    QString toHTML() const;    ///< "&#233;"
};

}  // namespace zor
