#pragma once
// The console reporter of the benchmark programs. Benchmarks are named GROUP/IMPL, the
// implementation "zor" being the reference that scripts/bench compares the others with. Given the
// bytes a group processes per iteration, it ends with one line per group: each side's MB/s (real
// time) in this process.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zorbench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    using BytesOfGroup = std::function<double(const std::string& group)>;

    explicit RatioReporter(BytesOfGroup bytesOf = nullptr)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular), m_bytesOf(std::move(bytesOf)) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred || r.iterations == 0 || r.run_type != Run::RT_Iteration) continue;
            const std::string name = r.run_name.function_name;
            const std::size_t slash = name.find('/');
            if (slash == std::string::npos) continue;
            const double n = static_cast<double>(r.iterations);
            m_seconds[name.substr(0, slash)][name.substr(slash + 1)] = {r.real_accumulated_time / n,
                                                                        r.cpu_accumulated_time / n};
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        // Ratios are not printed here: in one process, a contender that runs after another's
        // millions of frees pays for the allocator's clean-up. scripts/bench runs every contender
        // in a process of its own and prints the ratios; this line only gives the throughput.
        if (!m_bytesOf) return;
        for (const auto& group : m_seconds) {
            const double bytes = m_bytesOf(group.first);
            if (bytes <= 0) continue;
            std::printf("%s:", group.first.c_str());
            const char* sep = " ";
            for (const auto& impl : group.second) {
                std::printf("%s%s %.0f MB/s", sep, impl.first.c_str(), bytes / impl.second.first / 1e6);
                sep = ", ";
            }
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    BytesOfGroup m_bytesOf;
    // real and CPU seconds per iteration, by group and implementation
    std::map<std::string, std::map<std::string, std::pair<double, double>>> m_seconds;
};

}  // namespace zorbench
