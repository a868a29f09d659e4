#include <zor/XNodeFile.h>

#include <zor/ClockFunctions.h>

namespace zor {

XNodeFile::XNodeFile() { setType(QStringLiteral("XNodeFile")); }

XNodeFile::~XNodeFile() = default;

unsigned long long XNodeFile::getSize() const {
    bool ok = false;
    const unsigned long long v = getString(QStringLiteral("size"), QString()).toULongLong(&ok, 10);
    return ok ? v : 0;
}

QString XNodeFile::toString() const {
    return getName() + QStringLiteral(", ") + format1000(static_cast<long long>(getSize()));
}

}  // namespace zor
