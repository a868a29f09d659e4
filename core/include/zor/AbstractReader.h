#pragma once
/// \zclass{AbstractReader,io} The sequential binary source the tree stream reads from (files, memory).
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>

namespace zor {

class ZOR_EXPORT AbstractReader {
public:
    virtual ~AbstractReader();
    virtual std::size_t readBytes(char* values, std::size_t n) = 0;  ///< the count read
    virtual bool seek(long long pos) = 0;
    virtual long long readLONG() = 0;
    virtual unsigned int readUINT() = 0;
    virtual long long getLenOfBlock() const = 0;
    virtual long long tell() = 0;
    virtual QString readString() = 0;
    virtual bool readBool() = 0;
    bool canReadMore() { return tell() < getLenOfBlock(); }
};

}  // namespace zor
