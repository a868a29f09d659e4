#pragma once
/// \zclass{LogMemAttachment,io} The memory block a log message carries (Logger::logMem). The message
/// owns it. Copies keep the error state too (a plain XMem copy does not), so a copied attachment
/// still shows as invalid.
#include <zor/LogAttachment.h>
#include <zor/XMemFile.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT LogMemAttachment : public LogAttachment, public XMemFile {
public:
    using XMemFile::XMemFile;
    LogMemAttachment() = default;
    LogMemAttachment(const LogMemAttachment& other) : LogAttachment(other), XMemFile(other) {
        XError::operator=(other);
    }
    explicit LogMemAttachment(const XMemFile& mem) : XMemFile(mem) { XError::operator=(mem); }
    explicit LogMemAttachment(XMemFile&& mem) noexcept : XMemFile(std::move(mem)) {}
    ~LogMemAttachment() override;
    int getSize() const override { return static_cast<int>(size()); }
    bool isOK() const override { return XMemFile::isOK(); }
    LogAttachment* clone() const override;
};

}  // namespace zor
