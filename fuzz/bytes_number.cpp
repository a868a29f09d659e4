// get_bytes_number on arbitrary text: never a crash, and whole small decimal numbers come back.
#include <zor/TextTools.h>

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = (size > 0 && (data[0] & 1))
                             ? QString(reinterpret_cast<const QChar*>(data + 1), static_cast<int>((size - 1) / 2))
                             : QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const unsigned int v = zor::get_bytes_number(text);
    bool digitsOnly = !text.isEmpty() && text.size() <= 9;
    for (QChar c : text) digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (digitsOnly && v != text.toUInt()) std::abort();
    const QString withUnit = text.left(20) + QStringLiteral(" kB");
    zor::get_bytes_number(withUnit);
    return 0;
}
