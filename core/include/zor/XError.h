#pragma once
/// \zclass{XError,error} The error word carried by every object that can fail. 0 means OK; otherwise the low 16
/// bits hold an errno value, or the marker 0x8000 with a library code (100-170, see
/// ZorErrorCodes.h) in the high 16 bits. The word is atomic: one thread may set it while another
/// tests it. Setting it notifies the word's observers when emission is on (see AtomicBits).
#include <zor/AtomicBits.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT XError {
public:
    static unsigned short ZOR_ERROR_BASE;  ///< 0x8000: the low half of a library error

    XError() = default;
    XError(const XError& other) : m_bits(other.m_bits.value()) {}
    XError& operator=(const XError& other) {
        m_bits = other.m_bits.value();
        return *this;
    }
    virtual ~XError();

    bool isOK() const { return m_bits.value() == 0; }
    bool isError() const { return (m_bits.value() & 0xFFFFu) != 0; }
    unsigned int getErrno() const { return m_bits.value() & 0xFFFFu; }
    unsigned int getZorError() const { return m_bits.value() >> 16; }
    bool isZorError() const { return getErrno() == ZOR_ERROR_BASE && getZorError() != 0; }
    bool isZorError(unsigned short code) const { return getErrno() == ZOR_ERROR_BASE && getZorError() == code; }
    bool isZorEOF() const;
    bool isZorTimeout() const;
    bool isZorTruncate() const;
    bool isZorNumberTooBig() const;

    void setErrno(int e);                    ///< e truncated to 16 bits; the high half is cleared
    void setZorError(unsigned short code);   ///< marker | code << 16
    void setZorEOF();
    void setZorErrorTimeout();
    void setZorTruncate();
    void clearError();

    /// "NO-ERROR,errno==0", the registered text of a library code, or "<strerror>, errno:<n>".
    QString errAsString() const;

    AtomicBits& bitFlags() { return m_bits; }
    const AtomicBits& bitFlags() const { return m_bits; }

    /// Logs text + ", errno:" + the current errno's text at XERROR and returns result unchanged.
    static int printStringErrno(const QString& text, int result);

private:
    void setWord(unsigned int w);
    AtomicBits m_bits;
};

}  // namespace zor
