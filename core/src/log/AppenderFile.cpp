#include <zor/AppenderFile.h>

#include <zor/LogLevel.h>
#include <zor/LogMessage.h>
#include <zor/Logger.h>
#include <zor/TextHelpers.h>
#include <zor/ZorTime.h>
#include <zor/xformat.h>

#include <QDebug>
#include <QDir>

namespace zor {

namespace {
// Gathered lines are written at the latest when this much is waiting, so a long burst does not
// hold an unbounded buffer.
constexpr int kWriteThreshold = 1 << 20;
}  // namespace

AppenderFile* AppenderFile::createAppenderFile(const QString& dir, const QString& file, unsigned long long maxLen) {
    if (!QDir(dir).exists() && !QDir().mkpath(dir)) {
        Logger::printToCout(xformat("AppenderFile::createAppenderFile, dir '$', file: '$', maxLen:$ - PROBLEM creating directory",
                                    dir, file, maxLen));
        return nullptr;
    }
    auto* appender = new AppenderFile(dir + QLatin1Char('/') + file, maxLen);
    if (!appender->open()) {
        qDebug() << "cannot log to file:" << appender->fileName();
        delete appender;
        return nullptr;
    }
    return appender;
}

AppenderFile::AppenderFile(const QString& path, unsigned long long maxLen) : m_file(path), m_maxLen(maxLen) {}

AppenderFile::~AppenderFile() { close(); }

bool AppenderFile::open() {
    // Unbuffered: the appender gathers lines itself and writes them in one call.
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

QString AppenderFile::formatLine(LogMessage* msg) {
    QString line;
    line.reserve(48 + msg->toString().size());
    line += QLatin1Char('[');
    line += formatFillZero(6, static_cast<long long>(static_cast<int>(msg->getNumber())));
    line += QLatin1String("] [");
    line += QLatin1String(logLevelToString(msg->getLogLevel()));
    line += QLatin1String("] [");
    line += msg->getTime().getTheTimeString("%H:%M:%S", ZorTime::MICROSECONDS);
    line += QLatin1String("] [");
    line += QString::number(msg->getThreadId());
    line += QLatin1String("] ");
    line += msg->toString();
    return line;
}

void AppenderFile::append(LogMessage* msg) {
    if (m_full.load()) {
        qDebug() << "AppenderFile::append, file is full";
        return;
    }
    if (m_maxLen != 0 && m_size >= m_maxLen) {
        m_full.store(true);
        return;
    }
    const QByteArray bytes = formatLine(msg).toLatin1();
    m_pending.append(bytes);
    m_pending.append('\n');
    m_size += static_cast<unsigned long long>(bytes.size()) + 1;
    if (m_pending.size() >= kWriteThreshold) flush();
}

void AppenderFile::flush() {
    if (m_pending.isEmpty() || !m_file.isOpen()) return;
    const char* p = m_pending.constData();
    qint64 left = m_pending.size();
    while (left > 0) {
        const qint64 n = m_file.write(p, left);
        if (n <= 0) {
            qDebug() << "AppenderFile::flush, cannot write to" << m_file.fileName() << m_file.errorString();
            break;
        }
        p += n;
        left -= n;
    }
    m_pending.clear();
}

void AppenderFile::close() {
    flush();
    m_file.close();
}

}  // namespace zor
