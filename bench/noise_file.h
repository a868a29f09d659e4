#pragma once
// A file of size bytes of xorshift noise for the file benchmarks (incompressible, the same on
// every run).
#include <QFile>
#include <QString>
#include <vector>

namespace zorbench {

inline bool writeNoiseFile(const QString& path, long long size) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    std::vector<char> block(1 << 20);
    unsigned int x = 2463534242u;
    for (long long done = 0; done < size; done += static_cast<long long>(block.size())) {
        for (char& c : block) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            c = static_cast<char>(x);
        }
        if (f.write(block.data(), static_cast<qint64>(block.size())) != static_cast<qint64>(block.size())) return false;
    }
    return true;
}

}  // namespace zorbench
