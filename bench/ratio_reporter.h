#pragma once
// A console reporter that ends with one line per benchmark group: peer time / zor time, for
// benchmarks named GROUP/IMPL where the implementation "zor" is the reference. Given the bytes a
// group processes per iteration, the line also shows each side's MB/s (real time).
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
        for (const auto& group : m_seconds) {
            const auto zor = group.second.find("zor");
            if (zor == group.second.end()) continue;
            const double bytes = m_bytesOf ? m_bytesOf(group.first) : 0.0;
            std::printf("%s:", group.first.c_str());
            const char* sep = " ";
            if (bytes > 0) {
                std::printf(" zor %.0f MB/s", bytes / zor->second.first / 1e6);
                sep = ", ";
            }
            for (const auto& peer : group.second) {
                if (peer.first == "zor") continue;
                std::printf("%s", sep);
                if (bytes > 0) std::printf("%s %.0f MB/s, ", peer.first.c_str(), bytes / peer.second.first / 1e6);
                std::printf("%s / zor = %.2fx (cpu time %.2fx)", peer.first.c_str(), peer.second.first / zor->second.first,
                            peer.second.second / zor->second.second);
                sep = bytes > 0 ? ", " : " ";
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
