#pragma once
/// \zclass{AbstractWriter,io} The sequential binary sink the tree stream writes to (files, memory).
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>

namespace zor {

class ZOR_EXPORT AbstractWriter {
public:
    virtual ~AbstractWriter();
    virtual std::size_t write(const char* values, std::size_t n) = 0;  ///< the count written
    virtual bool writeString(const QString& s) = 0;
    virtual bool writeLONG(long long v) = 0;
    virtual bool writeUINT(unsigned int v) = 0;
    virtual bool writeBool(bool v) = 0;
    virtual long long tell() = 0;
};

}  // namespace zor
