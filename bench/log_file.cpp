// File logging end to end: 1,000,000 messages from 1 and from 4 threads, timed from the first call
// until the last line is in the file, against spdlog's asynchronous logger (block policy, one
// worker) with its basic file sink; and the same through each library's console sink with standard
// output sent to a file. Every run is a fresh child process, so that each library starts from
// nothing and its peak memory (peak_rss_MB, the child's maximum resident size) is its own.
#include <zor/CommandLine.h>
#include <zor/Logger.h>

#include <benchmark/benchmark.h>
#include <spdlog/async.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>

#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMessages = 1000000;
const QString kName = QStringLiteral("config/settings.xml");
const std::string kNameStd = "config/settings.xml";

struct Result {
    double seconds = 0;
    double peakMB = 0;
    long long bytes = 0;
};

long long fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

void logFromThreads(int threads, void (*one)(int)) {
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([threads, one] {
            for (int i = 0; i < kMessages / threads; ++i) one(i);
        });
    for (auto& th : pool) th.join();
}

void zorOne(int i) { zor::logInfo("XmlLoader::parse, item $ took $ ms for '$'", i, 3.25, kName); }
std::shared_ptr<spdlog::logger> g_spd;
void spdOne(int i) { g_spd->info("XmlLoader::parse, item {} took {:.6f} ms for '{}'", i, 3.25, kNameStd); }

// In the child: runs one case and returns its figures; out is the file the lines go to.
Result runCase(bool zorSide, bool console, int threads, const std::string& dir) {
    const std::string out = dir + (console ? "/stdout.txt" : "/run.txt");
    if (console) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::close(fd);
    }
    const auto begin = std::chrono::steady_clock::now();
    if (zorSide) {
        zor::CommandLine cmd;
        if (console) cmd.fromString(QStringLiteral("bench"));
        else cmd.fromString(QString::fromStdString("bench --logConsole false --logFile run.txt --logDir " + dir));
        zor::Logger::ini(cmd);
        zor::Logger::atomicFlagDeleteMessage = true;  // a long-running program: nothing is kept
        logFromThreads(threads, zorOne);
        zor::Logger::quit();  // returns once every line is written
    } else {
        spdlog::init_thread_pool(8192, 1);
        spdlog::sink_ptr sink;
        if (console) sink = std::make_shared<spdlog::sinks::stdout_sink_mt>();
        else sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(out, true);
        g_spd = std::make_shared<spdlog::async_logger>("bench", sink, spdlog::thread_pool(),
                                                       spdlog::async_overflow_policy::block);
        logFromThreads(threads, spdOne);
        g_spd->flush();
        g_spd.reset();
        spdlog::shutdown();  // drains the queue and joins the worker
        std::fflush(stdout);
    }
    Result r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    r.peakMB = static_cast<double>(ru.ru_maxrss) / 1024.0;
    r.bytes = fileSize(out);
    return r;
}

void endToEnd(benchmark::State& state, bool zorSide, bool console) {
    const int threads = static_cast<int>(state.range(0));
    Result last;
    for (auto _ : state) {
        QTemporaryDir dir;
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            const Result r = runCase(zorSide, console, threads, dir.path().toStdString());
            const ssize_t n = ::write(fds[1], &r, sizeof r);
            ::_exit(n == sizeof r ? 0 : 1);
        }
        ::close(fds[1]);
        Result r;
        const ssize_t n = ::read(fds[0], &r, sizeof r);
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (n != sizeof r || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the child failed");
            return;
        }
        state.SetIterationTime(r.seconds);
        last = r;
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
    state.counters["peak_rss_MB"] = last.peakMB;
    state.counters["file_MB"] = static_cast<double>(last.bytes) / 1e6;
}

}  // namespace

BENCHMARK_CAPTURE(endToEnd, zor_file, true, false)->Name("log_file/zor")->Arg(1)->Arg(4)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(endToEnd, spdlog_file, false, false)->Name("log_file/spdlog")->Arg(1)->Arg(4)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(endToEnd, zor_console, true, true)->Name("log_console_to_file/zor")->Arg(1)->Arg(4)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(endToEnd, spdlog_console, false, true)->Name("log_console_to_file/spdlog")->Arg(1)->Arg(4)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
