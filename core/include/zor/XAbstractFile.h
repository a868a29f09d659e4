#pragma once
/// \zclass{XAbstractFile,io} A file behind a C runtime stream, with the mutex that guards the stream. Every
/// operation of a reader or writer on the stream holds it, so one object may be shared between
/// threads for single calls (sequences of calls are not atomic).
#include <zor/zor_export.h>

#include <mutex>
#include <QString>
#include <cstdio>

namespace zor {

class ZOR_EXPORT XAbstractFile {
public:
    XAbstractFile() = default;
    XAbstractFile(const XAbstractFile&) = delete;
    XAbstractFile& operator=(const XAbstractFile&) = delete;
    virtual ~XAbstractFile();

    virtual bool open(const QString& name) = 0;
    virtual bool isOpen() const;
    virtual long long tell();  ///< the stream position; a closed file is a fatal check
    virtual void close();
    const QString& getFileName() const { return fileName; }

protected:
    std::FILE* fp = nullptr;  ///< owned; null while closed
    QString fileName;
    mutable std::mutex mutex;  ///< guards fp
};

}  // namespace zor
