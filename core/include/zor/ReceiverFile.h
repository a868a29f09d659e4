#pragma once
/// \zclass{ReceiverFile,net} A file as an AbstractReceiver (for ReadStream). The file is opened for binary
/// reading and closed at its end or on a read error. Owns the open file. Not thread-safe.
#include <zor/AbstractReceiver.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstdio>

namespace zor {

class ZOR_EXPORT ReceiverFile : public AbstractReceiver {
public:
    ReceiverFile() = default;
    ~ReceiverFile() override;
    ReceiverFile(const ReceiverFile&) = delete;
    ReceiverFile& operator=(const ReceiverFile&) = delete;

    bool openFile(const QString& fileName);
    int receive(void* buffer, int length, int flags) override;  ///< count read; -1 without a file
    int closeReceiver() override;

    bool isOpen() const { return fp != nullptr; }
    long long getFileLength() const { return fileLength; }
    const QString& getFileName() const { return fileName; }

private:
    QString fileName;
    std::FILE* fp = nullptr;
    long long fileLength = 0;
};

}  // namespace zor
