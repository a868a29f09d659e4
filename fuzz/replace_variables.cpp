// replaceEnv, replace_variables and replaceVariables on arbitrary text. Besides memory safety it
// checks that nothing is lost where nothing is to be replaced: an identity resolver and an empty
// map give the text back.
#include <zor/TextTools.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <map>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("ZF", "env\"value", 1);
    setenv("ZF_EMPTY", "", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = (size > 0 && (data[0] & 1))
                             ? QString(reinterpret_cast<const QChar*>(data + 1), static_cast<int>((size - 1) / 2))
                             : QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));

    const QString env = zor::replaceEnv(text);
    if (!text.contains(QLatin1Char('$')) && env != text) std::abort();

    const auto identity = [](const QString& n) { return n; };
    const QString same = zor::replace_variables(text, identity);
    if (!text.contains(QLatin1Char('#')) && same != text) std::abort();  // "#" names are removed
    zor::replace_variables(text, [](const QString& n) { return n.size() % 2 ? QStringLiteral("<v>") : n; });

    const std::map<QString, QString> none;
    const QString latin1 = QString::fromLatin1(text.toLatin1());
    if (zor::replaceVariables(latin1, none, false) != latin1) std::abort();
    const std::map<QString, QString> vars{{"a", "1"}, {"", "empty"}, {"ZF", "${ZF}"}};
    zor::replaceVariables(text, vars, true);
    zor::replaceVariables(text, vars, false);
    return 0;
}
