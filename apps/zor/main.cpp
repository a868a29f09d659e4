// zor: shows and uses what zor core does. Without arguments it runs a tour on built-in sample data;
// "zor --help" lists the commands.
#include "Commands.h"

#include <zor/core.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace zorapp {

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        {"tour", "", "a short tour of the library on built-in sample data (the default)", &runTour},
        {"md5", "--file F", "the MD5 digest of a file (32 upper-case hex digits, then the name)", &runMd5},
        {"checksum", "--file F [--algo md5|sha1|sha256]",
         "the file's digest as md5sum/sha1sum/sha256sum print it (sha256 by default)", &runChecksum},
        {"compress", "--in F --out G", "writes F as a compressed block (MD5 digest, then zlib) to G", &runCompress},
        {"uncompress", "--in G --out F", "checks and unpacks a compressed block; a damaged one ends with 10", &runUncompress},
        {"frame", "--in F --out G", "writes F as one MD5 frame (zero byte, COBS-stuffed data and digest)", &runFrame},
        {"unframe", "--in G --out F", "checks and unpacks an MD5 frame; a damaged one ends with 10", &runUnframe},
        {"tree", "--in T [--md5 true] | --sample --out T [--compress true | --base64 true]",
         "prints a tree file (plain, compressed or base64) or its MD5, or writes a sample tree", &runTree},
        {"geometry", "--polygon \"x,y x,y ...\" [--point x,y]", "tests the point against the polygon and triangulates it; a self-crossing polygon ends with 3", &runGeometry},
        {"xml", "--in F [--query PATH] [--out G] [--types true] [--standard true]",
         "loads an XML file (the library's subset, or standard XML with --standard true) and prints a summary, a query's node, the tree written to G, the schema check; malformed: 7",
         &runXml},
        {"lines", "--file F [--max BYTES] [--scan BYTES]",
         "line, paragraph and line-ending statistics of a text file and its UTF-8 verdict (missing: 4, unmappable: 5)", &runLines},
        {"random", "[--seed N] [--count K] [--words true] [--len L]",
         "K numbers of the Mersenne Twister (or lines of words); reproducible with --seed, else seeded from the clock", &runRandom},
        {"dirs", "--dir D [--pattern \"*.cpp,*.h\"] [--not P] [--bigger N] [--smaller N] [--hidden true] [--list true]",
         "scans a directory tree and selects files by wildcards and size; links to directories are not followed", &runDirs},
        {"find",
         "--dir D --query Q [--files \"*.txt;*.md\"] [--not PATTERNS] [--scope file|paragraph|sentence] [--regex true] "
         "[--list true]",
         "searches the files' contents; prints path:line: text with the hits in [[ ]] and the counters (--list: the "
         "paths only); none found: 1, bad query: 9",
         &runFind},
        {"adapters", "", "lists the machine's IPv4 addresses, 127.0.0.1 last", &runAdapters},
        {"connect", "--url U [--timeout MS] [--send TEXT]",
         "opens a TCP or TLS (https) connection, sends one line and prints the reply; bad URL: 6, no connection: 5",
         &runConnect},
        {"serve", "--dir D [--port P] [--host A] [--cert C --key K] [--headTimeout MS]",
         "serves the files of D over HTTP (HTTPS with a PEM certificate and key) until Ctrl-C; prints the port", &runServe},
        {"get", "URL [--out F]",
         "fetches an http:// or https:// URL: head to stderr, body to stdout or F; 1 non-2xx, 5 no connection, 9 bad answer",
         &runGet},
        {"test", "[NAME | --list FILE | --filter TEXT]",
         "runs zor's registered checks: one by name, a list file, or by name filter; lists them without argument",
         &runTest},
        {"run", "-- PROGRAM [ARGS...]",
         "runs PROGRAM with ARGS (passed untouched) and ends with its exit code; cannot start: 127, signal N: 128+N",
         &runRun},
    };
    return list;
}

namespace {
QStringList g_words;               // after the command name
std::vector<QByteArray> g_program;  // every argument, the program name first
}  // namespace

const QStringList& commandWords() { return g_words; }
const std::vector<QByteArray>& programArgs() { return g_program; }

namespace {

std::string helpText() {
    std::string t;
    t += zor::xformat("zor $ - the zor core library at work\n\n", zor::ZorVersion::getVersion()).toStdString();
    t += "usage: zor [COMMAND] [--key value ...]\n\ncommands:\n";
    for (const Command& c : commands())
        t += QString::asprintf("  %-10s %s\n             %s\n", c.name, c.usage, c.help).toStdString();
    t += "\nevery command also takes --single true (refused with exit code 1 while another zor started with\n"
         "--single true runs), --verbose true (every log line) and the logger's keys: --logConsole false,\n"
         "--logTrailler false, --logLevel MASK, --logFile NAME --logDir DIR [--logFileLen BYTES]\n"
         "[--logRotate second|minute|hour|day|month|year]\n";
    t += "\nexit codes:\n";
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 20})
        t += QString::asprintf("  %2d %s\n", code, qPrintable(zor::exitZorErrorCodeToString(code))).toStdString();
    return t;
}

void printHelp() { std::fputs(helpText().c_str(), stdout); }

int zorMain(int argc, char** argv, char**) {
    // The first argument is the command; "zor --key value" means the tour with those keys.
    for (int i = 0; i < argc; ++i) g_program.emplace_back(argv[i]);
    std::vector<char*> args(argv, argv + argc);
    static char tourName[] = "tour";
    if (argc >= 2 && std::strncmp(argv[1], "--", 2) == 0) args.insert(args.begin() + 1, tourName);
    zor::CommandLine cmd(static_cast<int>(args.size()), args.data());
    for (std::size_t i = 2; i < args.size(); ++i) g_words << QString::fromLocal8Bit(args[i]);
    const QString command = cmd.getCommand();
    if (command == QLatin1String("help") || command == QLatin1String("-h")) {
        printHelp();
        return 0;
    }
    const QString name = cmd.hasCommand() ? command : QStringLiteral("tour");
    for (const Command& c : commands()) {
        if (name != QLatin1String(c.name)) continue;
        if (!cmd.isBool(QStringLiteral("single"), false)) return c.run(cmd);
        // One guard for every zor started with --single true, held until the command ends.
        zor::XRunGuard guard(QStringLiteral("zor"));
        if (!guard.run_instance_of_program()) {
            std::fprintf(stderr, "zor: another instance of zor is running (--single true), '%s' not started\n", c.name);
            return EXIT_SINGLE_REFUSED;
        }
        return c.run(cmd);
    }
    std::fprintf(stderr, "zor: unknown command '%s' (zor --help lists the commands)\n", qPrintable(name));
    return zor::EXIT_ZOR_ARGUMENT;
}

}  // namespace
}  // namespace zorapp

// The library's console runner: "--HELP" in any case prints the help and ends with 20. Everything
// after the first "--" belongs to the child of "zor run": it is kept apart untouched, so neither
// the command line nor the help check reads it.
int main(int argc, char** argv, char** envp) {
    static const std::string help = zorapp::helpText();
    QStringList rest;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") != 0) continue;
        for (int k = i + 1; k < argc; ++k) rest << QString::fromLocal8Bit(argv[k]);
        argv[i] = nullptr;
        argc = i;
        break;
    }
    zorapp::setPassThroughArgs(rest);
    return zor::XProgramConsole::runStandard(argc, argv, envp, QStringLiteral("zor"), QStringLiteral("zor"), help.c_str(),
                                             &zorapp::zorMain);
}
