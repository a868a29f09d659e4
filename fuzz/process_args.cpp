// XProcess::splitArgs on arbitrary text. Besides memory safety it checks that the arguments,
// each written back between double quotes, split into the same list again.
#include <zor/XProcess.h>

#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const QStringList args = zor::XProcess::splitArgs(text);
    QStringList quoted;
    for (const QString& a : args) {
        if (a.contains(QLatin1Char('"'))) std::abort();  // the quote only groups, it is never kept
        quoted << QLatin1Char('"') + a + QLatin1Char('"');
    }
    if (zor::XProcess::splitArgs(quoted.join(QLatin1Char(' '))) != args) std::abort();
    return 0;
}
