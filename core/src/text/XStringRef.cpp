#include <zor/Logger.h>
#include <zor/XStringRef.h>

namespace zor {

namespace {
const QString& emptyString() {
    static const QString empty;
    return empty;
}
}  // namespace

XStringRef::XStringRef(const QString& s) : m_s(&s), m_pos(0), m_size(static_cast<unsigned int>(s.size())) {}

XStringRef::XStringRef(const QString& s, unsigned int pos, unsigned int len) : m_s(&s), m_pos(pos) {
    const unsigned long long length = static_cast<unsigned long long>(s.size());
    if (len == 0 && pos <= length) len = static_cast<unsigned int>(length - pos);
    if (static_cast<unsigned long long>(pos) + len > length) {
        logError("XStringRef::XStringRef, ((pos + len) > s.length(), $+$ > $", pos, len, s.size());
        m_size = 0;
        return;
    }
    m_size = len;
}

QChar XStringRef::charAt(unsigned int index) const {
    if (index < m_size) return m_s->at(static_cast<int>(m_pos + index));
    logError("XStringRef::charAt, pos+index >= size(), $+$ >= $, return QChar()", m_pos, index, m_size);
    return QChar();
}

QString XStringRef::toString() const {
    if (m_size == 0) return QString();
    return m_s->mid(static_cast<int>(m_pos), static_cast<int>(m_size));
}

QString XStringRef::toStringInfo() const {
    return xformat("pos:$, size:$, <<<$>>> original <<<$>>>, size:$", m_pos, m_size, toString(), *m_s, m_s->size());
}

XStringRef XStringRef::createInvalidStringRef() {
    XStringRef r(emptyString());
    r.m_size = 0;
    return r;
}

}  // namespace zor
