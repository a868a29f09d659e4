#pragma once
/// \zclass{LogAttachment,io} The memory block a log message carries. The message owns it. Copies keep the
/// error state too (a plain XMem copy does not), so a copied attachment still shows as invalid.
#include <zor/XMemFile.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT LogAttachment : public XMemFile {
public:
    using XMemFile::XMemFile;
    LogAttachment() = default;
    LogAttachment(const LogAttachment& other) : XMemFile(other) { XError::operator=(other); }
    explicit LogAttachment(const XMemFile& mem) : XMemFile(mem) { XError::operator=(mem); }
    explicit LogAttachment(XMemFile&& mem) noexcept : XMemFile(std::move(mem)) {}
    ~LogAttachment() override;
    int getSize() const { return static_cast<int>(size()); }
};

}  // namespace zor
