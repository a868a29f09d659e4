#pragma once
/// \zclass{String64,xml} A text kept in Base64 form (the Base64 of its UTF-8 bytes), for values that must not
/// disturb the text they are stored in (quotes, line ends, markup). A value.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT String64 {
public:
    String64() = default;
    String64(const QString& text) { fromString(text); }  ///< NOLINT: encodes the text
    String64& operator=(const QString& text) {
        fromString(text);
        return *this;
    }

    void fromString(const QString& text);
    QString toString() const;  ///< the decoded text
    const QString& encoded() const { return m_base64; }
    void setEncoded(const QString& base64) { m_base64 = base64; }

    bool operator==(const String64& o) const { return m_base64 == o.m_base64; }

private:
    QString m_base64;
};

}  // namespace zor
