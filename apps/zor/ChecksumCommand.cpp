// zor checksum --file F [--algo md5|sha1|sha256]: the file's digest as md5sum, sha1sum and
// sha256sum print it ("<lower-case hex>  <name>"). On a terminal a long calculation shows its
// progress on stderr; piped output gets the result line only.
#include "Commands.h"

#include <zor/core.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace zorapp {

using namespace zor;

namespace {

constexpr long long kProgressFrom = 64LL << 20;  // smaller files finish before a line would help

bool algoFromName(const QString& name, CheckSum::ALGO& algo) {
    const QString n = name.toLower();
    if (n == QLatin1String("md5")) algo = CheckSum::ALGO::MD5;
    else if (n == QLatin1String("sha1")) algo = CheckSum::ALGO::SHA1;
    else if (n == QLatin1String("sha256")) algo = CheckSum::ALGO::SHA256;
    else return false;
    return true;
}

}  // namespace

int runChecksum(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    QString file;
    if (!requireKey(cmd, "file", file)) return finish(EXIT_ZOR_ARGUMENT);
    const QString algoName = cmd.hasKey(QStringLiteral("algo")) ? cmd.getString(QStringLiteral("algo")) : QStringLiteral("sha256");
    CheckSum::ALGO algo = CheckSum::ALGO::SHA256;
    if (!algoFromName(algoName, algo)) {
        logError("checksum, unknown --algo '$' (md5, sha1 or sha256)", algoName);
        return finish(EXIT_ZOR_ARGUMENT);
    }
    if (!fileExists(file)) {
        logError("checksum, no such file '$'$", file, dirExists(file) ? " (it is a directory)" : "");
        return finish(EXIT_ZOR_FILE_NOT_FOUND);
    }

    CheckSum cs(QFileInfo(file), algo);
    XAtomic<bool> run{true};
    XAtomic<int> percent{0};
    const bool progress = isatty(STDERR_FILENO) && getFileLength(file) >= kProgressFrom;
    if (!progress) {
        cs.calc(run, percent);
    } else {
        // The calculation runs on a worker while this thread redraws the percentage.
        XAtomic<bool> finished{false};
        std::thread worker([&] {
            cs.calc(run, percent);
            finished.store(true);
        });
        std::fprintf(stderr, "\rzor: %s   0 %%", qPrintable(file));
        std::fflush(stderr);
        int shown = 0;
        while (!finished.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const int p = percent.load();
            if (p != shown && p >= 0) {
                std::fprintf(stderr, "\rzor: %s %3d %%", qPrintable(file), p);
                std::fflush(stderr);
                shown = p;
            }
        }
        worker.join();
        std::fprintf(stderr, "\r\033[K");
    }
    if (!cs) {
        logError("checksum, cannot read '$' ($)", file, CheckSum::err_to_string(cs.get_error()));
        return finish(EXIT_ZOR_IO);
    }
    return finish(EXIT_ZOR_OK, xformat("$  $", cs.toString(), file));
}

}  // namespace zorapp
