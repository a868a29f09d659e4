#pragma once
/// \zclass{LogAttachment,log} What a log message carries besides its text. The message owns it and
/// copies it with clone(). The logger knows only this interface; the memory-block attachment that
/// Logger::logMem creates (LogMemAttachment) lives with the files, above the logger.
#include <zor/zor_export.h>

namespace zor {

class XMemFile;

class ZOR_EXPORT LogAttachment {
public:
    virtual ~LogAttachment();
    virtual int getSize() const = 0;           ///< bytes it adds to the message's size
    virtual bool isOK() const = 0;             ///< false when it carries an error
    virtual LogAttachment* clone() const = 0;  ///< a new, owned copy
    /// The memory-block attachment: a copy of mem, or mem itself moved out when move is true.
    /// Defined with LogMemAttachment.
    static LogAttachment* fromMem(XMemFile& mem, bool move);

protected:
    LogAttachment() = default;
    LogAttachment(const LogAttachment&) = default;
    LogAttachment& operator=(const LogAttachment&) = default;
};

}  // namespace zor
