#include <zor/XError.h>

#include <zor/Logger.h>
#include <zor/XErrorMap.h>
#include <zor/ZorErrorCodes.h>
#include <zor/xformat.h>

#include "platform/Platform.h"

#include <cerrno>

namespace zor {

unsigned short XError::ZOR_ERROR_BASE = 0x8000;

XError::~XError() = default;

bool XError::isZorEOF() const { return isZorError(ZOR_ERROR_EOF); }
bool XError::isZorTimeout() const { return isZorError(ZOR_ERROR_TIMEOUT); }
bool XError::isZorTruncate() const { return isZorError(ZOR_ERROR_TRUNCATE); }
bool XError::isZorNumberTooBig() const { return isZorError(ZOR_ERROR_NUMBER_TOO_BIG); }

void XError::setWord(unsigned int w) { m_bits.set_flags(w, m_bits.isEmitChanges()); }

void XError::setErrno(int e) { setWord(static_cast<unsigned int>(e) & 0xFFFFu); }

void XError::setZorError(unsigned short code) {
    setWord(static_cast<unsigned int>(ZOR_ERROR_BASE) | (static_cast<unsigned int>(code) << 16));
}

void XError::setZorEOF() { setZorError(ZOR_ERROR_EOF); }
void XError::setZorErrorTimeout() { setZorError(ZOR_ERROR_TIMEOUT); }
void XError::setZorTruncate() { setZorError(ZOR_ERROR_TRUNCATE); }
void XError::clearError() { setWord(0); }

QString XError::errAsString() const {
    const unsigned int w = m_bits.value();
    if (w == 0) return QStringLiteral("NO-ERROR,errno==0");
    const unsigned int low = w & 0xFFFFu;
    if (low >= ZOR_ERROR_BASE) {
        const unsigned int code = w >> 16;
        if (code == 0) return QStringLiteral("ZOR-ERROR-0");
        return XErrorMap::getError(code);
    }
    const QString text = platform::systemErrorText(static_cast<int>(low));
    if (!text.isEmpty()) return xformat("$, errno:$", text, low);
    return xformat("no error text, errno:$", low);
}

int XError::printStringErrno(const QString& text, int result) {
    XError e;
    e.setErrno(errno);
    if (text.isEmpty()) logError("$", e.errAsString());
    else logError("$, errno:$", text, e.errAsString());
    return result;
}

}  // namespace zor
