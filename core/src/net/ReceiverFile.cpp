#include <zor/ReceiverFile.h>

#include <zor/Logger.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace zor {

ReceiverFile::~ReceiverFile() { closeReceiver(); }

bool ReceiverFile::openFile(const QString& name) {
    closeReceiver();
    fileName = name;
    fp = std::fopen(QFile::encodeName(name).constData(), "rb");
    if (fp == nullptr) {
        logError("ReceiverFile::open, problems open file '$'", name);
        fileLength = 0;
        return false;
    }
    fileLength = QFileInfo(name).size();
    return true;
}

int ReceiverFile::receive(void* buffer, int length, int) {
    if (fp == nullptr) return -1;
    if (length <= 0) return 0;
    const std::size_t r = std::fread(buffer, 1, static_cast<std::size_t>(length), fp);
    if (r < static_cast<std::size_t>(length)) {
        if (std::ferror(fp) != 0) {
            logError("ReceiverFile::receive, , r:$, within file '$', errno:$, try to close file", static_cast<unsigned long long>(r),
                     fileName, errno);
        } else {
            logDebug("ReceiverFile::receive, within file '$' EOF, close file now!", fileName);
        }
        closeReceiver();
    }
    return static_cast<int>(r);
}

int ReceiverFile::closeReceiver() {
    if (fp == nullptr) return 0;
    const int rc = std::fclose(fp);
    fp = nullptr;
    return rc;
}

}  // namespace zor
