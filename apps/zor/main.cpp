// zor: shows and uses what zor core does. Without arguments it runs a tour on built-in sample data;
// "zor --help" lists the commands.
#include "Commands.h"

#include <zor/core.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace zorapp {

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        {"tour", "", "a short tour of the library on built-in sample data (the default)", &runTour},
        {"md5", "--file F", "the MD5 digest of a file (32 upper-case hex digits, then the name)", &runMd5},
        {"compress", "--in F --out G", "writes F as a compressed block (MD5 digest, then zlib) to G", &runCompress},
        {"uncompress", "--in G --out F", "checks and unpacks a compressed block; a damaged one ends with 10", &runUncompress},
        {"frame", "--in F --out G", "writes F as one MD5 frame (zero byte, COBS-stuffed data and digest)", &runFrame},
        {"unframe", "--in G --out F", "checks and unpacks an MD5 frame; a damaged one ends with 10", &runUnframe},
        {"xml", "--in F [--query PATH] [--out G] [--types true]",
         "loads an XML file and prints a summary, a query's node, the tree written to G, the schema check; malformed: 7",
         &runXml},
    };
    return list;
}

namespace {

void printHelp() {
    std::printf("zor %s - the zor core library at work\n\n", qPrintable(zor::ZorVersion::getVersion()));
    std::printf("usage: zor [COMMAND] [--key value ...]\n\ncommands:\n");
    for (const Command& c : commands()) std::printf("  %-10s %s\n             %s\n", c.name, c.usage, c.help);
    std::printf("\nevery command also takes --verbose true (every log line) and the logger's keys: --logConsole false, --logTrailler false\n");
    std::printf("\nexit codes:\n");
    for (int code : {0, 1, 2, 4, 5, 6, 7, 10}) std::printf("  %2d %s\n", code, qPrintable(zor::exitZorErrorCodeToString(code)));
}

}  // namespace
}  // namespace zorapp

int main(int argc, char** argv) {
    zor::XLibBase::iniLibrary(argc, argv, nullptr);
    // The first argument is the command; "zor --key value" means the tour with those keys.
    std::vector<char*> args(argv, argv + argc);
    static char tourName[] = "tour";
    if (argc >= 2 && std::strncmp(argv[1], "--", 2) == 0) args.insert(args.begin() + 1, tourName);
    zor::CommandLine cmd(static_cast<int>(args.size()), args.data());
    const QString command = cmd.getCommand();
    if (cmd.hasKey(QStringLiteral("help")) || command == QLatin1String("help") || command == QLatin1String("-h")) {
        zorapp::printHelp();
        return 0;
    }
    const QString name = cmd.hasCommand() ? command : QStringLiteral("tour");
    for (const zorapp::Command& c : zorapp::commands()) {
        if (name == QLatin1String(c.name)) return c.run(cmd);
    }
    std::fprintf(stderr, "zor: unknown command '%s' (zor --help lists the commands)\n", qPrintable(name));
    return zor::EXIT_ZOR_ARGUMENT;
}
