#pragma once
// LogAttachment: the memory block a log message carries. The message owns it.
#include <zor/XMemFile.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT LogAttachment : public XMemFile {
public:
    using XMemFile::XMemFile;
    LogAttachment() = default;
    LogAttachment(const LogAttachment&) = default;
    ~LogAttachment() override;
    int getSize() const { return static_cast<int>(size()); }
};

}  // namespace zor
