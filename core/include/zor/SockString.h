#pragma once
/// \zclass{SockString,net} A text read from a socket together with the error state of the read.
/// A plain value; one thread at a time.
#include <zor/XError.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT SockString : public XError {
public:
    SockString() = default;
    explicit SockString(const QString& text) : m_text(text) {}

    bool isEmpty() const { return m_text.isEmpty(); }
    int len() const { return m_text.size(); }
    bool contains(const QString& part) const { return isOK() && m_text.contains(part); }  ///< false on error
    const QString& text() const { return m_text; }
    operator const QString&() const { return m_text; }  ///< NOLINT: reads like the text it carries
    void setText(const QString& text) { m_text = text; }

private:
    QString m_text;
};

}  // namespace zor
