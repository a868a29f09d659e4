#pragma once
// Small fixtures shared by the test folders: writing a file (with its directories) and an
// argc/argv pair built from literals for the kernel and the program runners.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

namespace zortest {

// Writes bytes to path, creating the missing directories; a file that cannot be written fails the test.
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(path);
    f.write(bytes);
}

// argc and a null-terminated argv that stay valid as long as the object lives.
struct Args {
    std::vector<QByteArray> storage;
    std::vector<char*> argv;
    int argc = 0;
    explicit Args(std::initializer_list<const char*> items) {
        for (const char* i : items) storage.emplace_back(i);
        for (QByteArray& s : storage) argv.push_back(s.data());
        argv.push_back(nullptr);
        argc = static_cast<int>(storage.size());
    }
};

}  // namespace zortest
