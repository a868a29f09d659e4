#pragma once
/// \zclass{XMem,mem} An owned, growable block of bytes with string and string-array operations and whole-file
/// load and save.
///
/// Storage grows like a vector: setting contents resizes to the exact new size, the capacity grows
/// geometrically and is never given back (clear() keeps it), newly exposed bytes are zero. mem() is
/// null until the first allocation. A failed allocation leaves the block as it was, logs an error
/// and sets ENOMEM in the error state.
///
/// String-array layout (all integers 64-bit signed, machine byte order):
/// \code count, then per string: length, the UTF-8 bytes (no terminator). \endcode
/// get_string_array() never reads past the block: a count or length that runs past the end stops
/// the decoding with an error line, and the strings that lay wholly inside are returned.
///
/// Whole files (names beginning with ':' are Qt resources). These members are defined in the file
/// layer (io), over one reading and one writing path; the blocks include no file header. Failures
/// give false and one log line; the error word gets a library code or the system's errno:
/// \code a file that cannot be opened: "XMem::loadFromFile, cannot open file '$' for reading", code 100
///       ("zor,cannot read resource"); but loadMem of a disk file keeps the system's errno;
///   an empty file: false and no code, the block left empty (loadFromFileAsString: its zero byte
///       alone); but loadMem of a disk file: "XMem::loadFromFile, cannot open file '$' for
///       reading, file is empty - 0 bytes", code 100 and the block as it was;
///   saving a block without bytes: code 130 ("zor,object not initialized"), nothing written; a part
///       longer than the block: code 140 ("zor,index out of range"), the file left as it was;
///   a file that cannot be created (a missing directory): "XMem::saveToFile, cannot open file '$'
///       for writing", the system's errno for saveToFile, code 100 for saveMem; fewer bytes
///       written: "XMem::saveToFile, problems saving '$', ret:$, szToWrite:$", the system's errno.
/// \endcode
/// Every block takes a number from a process-wide atomic counter (for traces). Not thread-safe.
/// The XMem owns its bytes; mem() pointers are valid until the next resizing call.
#include <zor/AbstractMemory.h>
#include <zor/XRamInfo.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <string>

namespace zor {

class ZOR_EXPORT XMem : public AbstractMemory {
public:
    XMem();
    /// sz bytes, all (uint8)fill when fill >= 0, else zero.
    explicit XMem(std::size_t sz, int fill = -1);
    explicit XMem(const char* text);          ///< the text and its terminator
    explicit XMem(const QString& text);       ///< UTF-8 and a terminator
    explicit XMem(const std::string& text);   ///< the characters and a terminator
    explicit XMem(const QByteArray& bytes);   ///< the bytes, no terminator
    XMem(const XMem& other);                  ///< new block number, error state not copied
    XMem(XMem&& other) noexcept;              ///< takes bytes, error state and block number
    ~XMem() override;

    XMem& operator=(const XMem& other);       ///< new block number, then the bytes
    XMem& operator=(XMem&& other) noexcept;
    XMem& operator=(const QByteArray& bytes);
    XMem& operator=(const QString& text);
    XMem& operator=(const char* text);
    XMem& operator=(const std::string& text);

    /// Same bytes, error state and block number; this object then takes a fresh number.
    XMem copy();

    const char* mem() const override { return m_data; }
    char* mem() override { return m_data; }
    std::size_t length() const override { return m_size; }
    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    bool isEmpty() const { return m_size == 0; }
    explicit operator bool() const { return m_size > 0 && isOK(); }
    unsigned int getCounterMemBlock() const { return m_counterMemBlock; }

    XByteArray createByteArray() override;
    XRamInfo createRamInfo() const;
    QString toString(std::size_t nBegin, std::size_t nEnd, bool asc, bool hex, bool md5) const override;

    /// Exactly sz bytes, the first kept, new ones zero; then all set to (char)fill unless fill is -1.
    bool reAlloc(std::size_t sz, int fill = -1);
    bool setMem(const void* pMem, std::size_t sz) override;  ///< resizes to sz and copies

    using AbstractMemory::setString;
    /// The text and its terminator (len + 1 bytes); a null text leaves the block empty.
    virtual bool setString(const char* text);
    bool setString(const QString& text);
    bool setString(const std::string& text);
    virtual bool set_raw_data(const QByteArray& bytes);
    bool setQByteArray(const QByteArray& bytes) { return set_raw_data(bytes); }
    virtual bool set_raw_data(const void* pMem, std::size_t sz);  ///< null pMem is a fatal check
    virtual bool append_raw_data(const QByteArray& bytes);
    virtual bool append_raw_data(const void* pMem, std::size_t sz);  ///< null pMem is a fatal check
    virtual void clear();  ///< error state and contents; the capacity stays
    /// The file (szPart 0) or its first szPart bytes, a part cut to the file's length; logs
    /// "XMem::loadFromFile, # s:'$', szPart:$" at INFO first. True when bytes were read.
    virtual bool loadFromFile(const QString& name, std::size_t szPart = 0);
    bool loadFromFileAsString(const QString& name);  ///< the whole file and one zero byte (size + 1)
    bool loadMem(const QString& name);               ///< the whole file, without the INFO line
    /// The block (szPart 0) or its first szPart bytes; true once everything was written.
    bool saveToFile(const QString& name, std::size_t szPart = 0);
    bool saveMem(const QString& name);  ///< the whole block

    bool append_string(const QString& s);
    bool set_string_array(const QStringList& list);
    QStringList get_string_array() const;
    QString get_string() const;  ///< the bytes before the last one (the terminator), UTF-8
    std::size_t stringLen() const;  ///< bytes before the first zero; 0 when there is none

    bool charAtPos(char& out, std::size_t pos);
    bool setCharAtPos(char c, std::size_t pos);

protected:
    void _assign(const XMem& other);  ///< bytes, error state and block number

private:
    static unsigned int nextBlockNumber();
    bool resize(std::size_t sz);  // exact size, geometric capacity, zeroed new bytes
    bool reserveFor(std::size_t sz);
    void release();

    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    unsigned int m_counterMemBlock = 0;
};

}  // namespace zor
