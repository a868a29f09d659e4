#pragma once
// Opening a file whose whole content goes into a memory block: the shared first step of
// XMem::loadMem and XByteArray::loadFromFile, with their error texts and error words.
#include <zor/FileReader.h>
#include <zor/Logger.h>
#include <zor/XError.h>
#include <zor/ZorErrorCodes.h>

#include <QString>
#include <cerrno>

namespace zor {
namespace detail {

// Opens name for reading and gives its length (> 0). On failure logs one ERROR, records errno
// (kept before logging can change it) or ZOR_ERROR_CANNOT_READ_RESOURCE for an empty file in
// error, and returns false.
inline bool openWholeFile(FileReader& reader, const QString& name, long long& len, XError& error) {
    if (!reader.open(name)) {
        const int e = errno;
        logError("XMem::loadFromFile, cannot open file '$' for reading", name);
        error.setErrno(e);
        return false;
    }
    len = reader.getLenOfBlock();
    if (len <= 0) {
        logError("XMem::loadFromFile, cannot open file '$' for reading, file is empty - 0 bytes", name);
        error.setZorError(ZOR_ERROR_CANNOT_READ_RESOURCE);
        return false;
    }
    return true;
}

}  // namespace detail
}  // namespace zor
