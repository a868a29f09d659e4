// CommandLine::fromString on arbitrary text. Besides memory safety it checks that a failed parse
// changes nothing, that a key never holds a separator, and that the text form of a parsed command
// line parses again to the same keys.
#include <zor/CommandLine.h>

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    zor::CommandLine cmd;
    cmd.setProgram(QStringLiteral("prog"));
    cmd.setString(QStringLiteral("kept"), QStringLiteral("1"));
    const QString before = cmd.toString();
    if (!cmd.fromString(text)) {
        if (cmd.toString() != before) std::abort();
        return 0;
    }
    if (cmd.getProgram() != QLatin1String("prog") || !cmd.hasKey(QStringLiteral("kept"))) std::abort();
    for (const zor::CommandLineItem& item : cmd.getItems()) {
        if (item.key().contains(QLatin1Char(' ')) || item.key().contains(QLatin1Char('\t')) ||
            item.key().contains(QLatin1Char('"')))
            std::abort();
        (void)cmd.getInt(item.key(), 0);
        (void)cmd.getULong(item.key(), 0);
        (void)cmd.getDouble(item.key(), 0);
        (void)cmd.isBool(item.key(), false);
    }
    // Every key written by toString is read back (values may hold blanks, so only keys compare;
    // a double quote in a value would group what follows it).
    bool quoteFree = true;
    for (const zor::CommandLineItem& item : cmd.getItems()) quoteFree = quoteFree && !item.value().contains(QLatin1Char('"'));
    zor::CommandLine again;
    if (quoteFree && again.fromString(cmd.toString(zor::CommandLine::FORMAT_ITEMS))) {
        for (const zor::CommandLineItem& item : cmd.getItems()) {
            if (!again.hasKey(item.key())) std::abort();
        }
    }
    cmd.addMustHaveKeys(text.left(64));
    (void)cmd.checkKeys();
    (void)cmd.buildCommandLineExample(true);
    return 0;
}
