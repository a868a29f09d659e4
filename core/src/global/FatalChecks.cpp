#include <zor/FatalChecks.h>

#include <zor/Logger.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
void writeOut(const QByteArray& text) {
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fflush(stdout);
}
}  // namespace

void nullPointerHandling(const char* file, int line, const QString& what) {
    zor::loggerQuit();
    QByteArray text = "nullptr:" + what.toUtf8() + "\n" + QByteArray(file ? file : "") + "\n" + "LINE:" +
                      QByteArray::number(line) + "\n";
    writeOut(text);
    writeOut("program will exit in 5 sec\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(5000));
    std::exit(1);
}

void boolExpressionHandling(const char* file, int line) {
    zor::loggerQuit();
    QByteArray text = QByteArray("bool expression failure:") + "\n" + QByteArray(file ? file : "") + "\n" + "LINE:" +
                      QByteArray::number(line) + "\n";
    writeOut(text);
    writeOut("program will exit in 5 sec\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(5000));
    writeOut("program exit !\n");
    std::exit(1);
}
