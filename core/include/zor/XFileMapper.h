#pragma once
/// \zclass{XFileMapper,io} A file mapped into memory and seen as an AbstractMemory. mapReadOnly() or
/// mapReadWrite() opens the file; the first mem() maps all of it. Writing through mem() needs
/// mapReadWrite().
///
/// A file that another process shortens while it is mapped would fault on the pages past its new
/// end: length() therefore checks the file's size and, when it changed, reports the smaller of the
/// mapped and the current size (with one error line), so readers that stay within length() stay
/// within the file. Growth after mapping is not seen until the file is mapped again.
/// setSequential(true) before the mapping says the file will be read once from front to back: a
/// read-only mapping is then made with read-ahead, and pre-faulted when the file is smaller than a
/// quarter of the RAM, so that the pages arrive in bulk rather than one fault at a time.
/// Owns the mapping; no locks: one thread at a time.
#include <zor/AbstractMemory.h>
#include <zor/XByteArray.h>
#include <zor/zor_export.h>

#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QString>

namespace zor {

class ZOR_EXPORT XFileMapper : public AbstractMemory {
public:
    XFileMapper();
    explicit XFileMapper(const QString& name, QObject* parent = nullptr);
    explicit XFileMapper(const QFileInfo& fi, QObject* parent = nullptr);  ///< the absolute path
    XFileMapper(const XFileMapper&) = delete;
    XFileMapper& operator=(const XFileMapper&) = delete;
    ~XFileMapper() override;

    bool mapReadOnly();   ///< false when already mapped or the file cannot be opened
    bool mapReadWrite();
    bool unMap();         ///< false when not mapped
    bool isMapped() const { return pMap != nullptr; }

    const char* mem() const override;  ///< null (with an error) before mapReadOnly/mapReadWrite
    char* mem() override;
    std::size_t length() const override;
    const char* lastChar() const;  ///< the last mapped byte; null when not mapped or empty
    XByteArray createByteArray() override;

    void setSequential(bool on) { m_sequential = on; }  ///< takes effect at the next mapping
    bool isSequential() const { return m_sequential; }

    bool resize(long long size);  ///< the file's new size; a mapping is dropped and made anew by mem()
    QString fileName() const { return m_file.fileName(); }
    void setFileName(const QString& name);
    bool isFileName(const QString& name) const { return m_file.fileName() == name; }

private:
    bool openMode(QIODevice::OpenMode mode, const char* alreadyMapped);
    char* mapNow() const;
    void dropMap() const;  // unmaps through whichever way mapped

    mutable QFile m_file;
    mutable uchar* pMap = nullptr;
    mutable std::size_t m_mapLen = 0;
    mutable bool m_sizeChangeLogged = false;
    mutable bool m_ownMap = false;  // mapped by the platform layer, not by QFile
    bool m_sequential = false;
};

}  // namespace zor
