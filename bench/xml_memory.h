#pragma once
// What a loaded XML tree costs in memory, measured the same way for every contender of the XML
// benchmarks (glibc and Linux):
//
// - held: the allocator's bytes in use (mallinfo2: arena chunks plus mapped blocks) after the load
//   minus before it, with the tree alive: what the tree keeps, headers and padding included;
// - peak: the highest resident size during the load minus the resident size before it (the
//   kernel's high-water mark, reset before the load): the tree plus whatever the load used on
//   the way (decoded copies, buffers).
//
// Free memory is handed back to the system before the start, so that a heap grown by earlier work
// in the process does not hide the load's own growth. The input bytes exist before the start and
// count in neither figure.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace xmlsample {

class MemoryProbe {
public:
    MemoryProbe() {
        malloc_trim(0);
        if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {  // "5": reset the high-water mark
            std::fputs("5", f);
            std::fclose(f);
        }
        m_heap = heapInUse();
        m_rss = statusKiB("VmRSS:");
    }
    double heldBytes() const { return static_cast<double>(heapInUse()) - static_cast<double>(m_heap); }
    double peakBytes() const { return (statusKiB("VmHWM:") - m_rss) * 1024.0; }

    // held_MB, peak_MB and both as multiples of the document's size.
    void report(benchmark::State& state, double documentBytes) const {
        const double held = heldBytes();
        const double peak = peakBytes();
        state.counters["held_MB"] = held / 1e6;
        state.counters["peak_MB"] = peak / 1e6;
        state.counters["held_x"] = held / documentBytes;
        state.counters["peak_x"] = peak / documentBytes;
    }

private:
    static std::size_t heapInUse() {
        const struct mallinfo2 m = mallinfo2();
        return m.uordblks + m.hblkhd;
    }
    static double statusKiB(const char* key) {
        double v = 0;
        if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
            char line[256];
            const std::size_t n = std::strlen(key);
            while (std::fgets(line, sizeof line, f) != nullptr)
                if (std::strncmp(line, key, n) == 0) v = std::atof(line + n);
            std::fclose(f);
        }
        return v;
    }

    std::size_t m_heap = 0;
    double m_rss = 0;
};

}  // namespace xmlsample
