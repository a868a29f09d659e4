#pragma once
/// \zclass{XStringRef,text} A checked (string, position, length) view into a QString.
///
/// The view keeps a pointer to the string: the string must outlive it. A size of 0 means invalid
/// or empty. Out-of-range construction and access give an invalid view or a null QChar and one
/// error line; nothing reads outside the string. Copyable; not thread-safe beyond what the viewed
/// string allows.
#include <zor/zor_export.h>

#include <QChar>
#include <QString>

namespace zor {

class ZOR_EXPORT XStringRef {
public:
    explicit XStringRef(const QString& s);
    /// len 0 means up to the end. pos + len beyond the string: error line, invalid view.
    XStringRef(const QString& s, unsigned int pos, unsigned int len);

    QChar charAt(unsigned int index) const;  ///< null QChar and an error line when out of range
    QChar operator[](unsigned int index) const { return charAt(index); }

    unsigned int posBegin() const { return m_pos; }
    long long posEnd() const { return static_cast<long long>(m_pos) + m_size - 1; }  ///< pos - 1 when empty
    unsigned int size() const { return m_size; }
    void setInvalid() { m_size = 0; }
    QString toString() const;
    // "pos:$, size:$, <<<$>>> original <<<$>>>, size:$"
    QString toStringInfo() const;

    /// A view of size 0 into a process-wide empty string.
    static XStringRef createInvalidStringRef();

private:
    const QString* m_s;
    unsigned int m_pos = 0;
    unsigned int m_size = 0;
};

}  // namespace zor
