// CommandLine::fromURL on arbitrary text. Besides memory safety it checks that a parsed URL
// written back with toStringURL reads back to the same program, command and items.
#include <zor/CommandLine.h>

#include <QString>
#include <QUrl>
#include <cstdint>
#include <cstdlib>

namespace {

// What toStringURL cannot carry: a double quote (it groups), a key that still begins with "--"
// after the one that fromURL strips, and an item with neither key nor value (an empty part).
bool representable(const zor::CommandLine& cmd) {
    const QChar quote(QLatin1Char('"'));
    if (cmd.getProgram().contains(quote) || cmd.getCommand().contains(quote)) return false;
    for (const zor::CommandLineItem& item : cmd.getItems()) {
        if (item.key().contains(quote) || item.value().contains(quote)) return false;
        if (item.key().startsWith(QLatin1String("--"))) return false;
        if (item.key().isEmpty() && item.value().isEmpty()) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    zor::CommandLine cmd;
    if (!cmd.fromURL(text)) return 0;
    if (!representable(cmd)) return 0;
    zor::CommandLine back;
    if (!back.fromURL(QStringLiteral("zor:?") + cmd.toStringURL())) std::abort();
    if (back.getProgram() != cmd.getProgram() || back.getCommand() != cmd.getCommand()) std::abort();
    const auto a = cmd.getItems();
    const auto b = back.getItems();
    if (a.size() != b.size()) std::abort();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].key() != b[i].key() || a[i].value() != b[i].value()) std::abort();
    }
    return 0;
}
