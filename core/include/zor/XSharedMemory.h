#pragma once
/// \zclass{XSharedMemory,process} A named block of memory shared between processes (a QSharedMemory) that is also
/// an AbstractMemory, so it stands wherever the library reads a memory buffer: mem() is the block's
/// data, length() its size (null and 0 while not attached).
/// \code
///   writer: XSharedMemory shm("frames");  shm.writeCreateMem(buffer);   // create and fill
///   reader: XSharedMemory shm("frames");  shm.attach();  shm.readMem(copy);
/// \endcode
/// readMem, writeMem, writeCreateMem and createByteArray copy under the block's own system lock, so
/// a reader never sees half of a write from another process. mem() is raw access without that lock
/// (take an XLockerSharedMem around it). Failures are logged and set the error state; a size the
/// system refuses gives false, never a crash.
///
/// Thread-safety: one thread at a time per object; processes and threads with objects of their own
/// on the same key are serialised by the block's lock. The object owns its attachment and detaches
/// in the destructor (the system removes the block when its last user detaches).
#include <zor/AbstractMemory.h>
#include <zor/XByteArray.h>
#include <zor/zor_export.h>

#include <QObject>
#include <QSharedMemory>
#include <QString>
#include <cstddef>

namespace zor {

class ZOR_EXPORT XSharedMemory : public QSharedMemory, public AbstractMemory {
public:
    XSharedMemory();
    explicit XSharedMemory(const QString& key, QObject* parent = nullptr);
    XSharedMemory(const XSharedMemory&) = delete;
    XSharedMemory& operator=(const XSharedMemory&) = delete;
    ~XSharedMemory() override;

    const char* mem() const override;
    char* mem() override;
    std::size_t length() const override;

    /// QSharedMemory::create of size bytes; false (with a line) when the system refuses the size.
    bool createMem(unsigned int size, QSharedMemory::AccessMode mode = QSharedMemory::ReadWrite);
    /// The whole block into dest (dest.setMem: an XMem takes the block's size). False when not
    /// attached, the lock fails or dest cannot take it.
    bool readMem(AbstractMemory& dest);
    /// src to the start of the block; false when not attached or src is larger than the block (the
    /// block is left unchanged then).
    bool writeMem(AbstractMemory& src);
    /// Creates the block with src's size (dropping this object's earlier attachment) and copies src
    /// into it. False for an empty src or when the block cannot be created.
    bool writeCreateMem(AbstractMemory& src);
    /// A copy of the block taken under its lock; empty when not attached or on an error.
    XByteArray createByteArray() override;

    using AbstractMemory::toString;
    /// "attached, size:4096" or "not attached", then the error text when there is an error.
    QString toString() const;

private:
    bool copyIn(const AbstractMemory& src);  // locks, copies to the start, unlocks
};

}  // namespace zor
