#pragma once
/// \zclass{XNullDevice,mem} A QIODevice that discards what is written to it and measures it: the byte count,
/// optionally the MD5 digest, and the time from construction to finalizeWriting(). Reading is not
/// supported. One thread at a time.
#include <zor/MD5.h>
#include <zor/XRamInfo.h>
#include <zor/zor_export.h>

#include <QIODevice>
#include <QString>

namespace zor {

class ZOR_EXPORT XNullDevice : public QIODevice {
public:
    explicit XNullDevice(bool withMD5 = true);  ///< opens itself read-write, starts the clock
    ~XNullDevice() override;

    qint64 size() const override;
    qint64 bytesAvailable() const override;
    qint64 bytesToWrite() const override;

    void finalizeWriting();  ///< closes the digest, fixes the elapsed time
    XRamInfo ramInfo() const;
    long long getBytesWritten() const { return bytesWritten; }
    QString toString() const;  ///< "1.234 => 1.23 KB"

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 n) override;

private:
    MD5 md5;
    long long bytesWritten = 0;
    long long microseconds = 0;  // the start time; after finalizeWriting() the elapsed time
    bool withMD5;
};

}  // namespace zor
