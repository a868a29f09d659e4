#include <zor/AppenderConsole.h>

#include <zor/LogAttachment.h>
#include <zor/LogLevel.h>
#include <zor/LogMessage.h>
#include <zor/TextHelpers.h>
#include <zor/ThreadTools.h>
#include <zor/ZorTime.h>

#include <cstdio>

namespace zor {

std::atomic<unsigned int> AppenderConsole::atomicTimeFormat{1};

namespace {
std::atomic<unsigned int> s_simpleCounter{0};

// "%06d" of an unsigned number, as the trailers show it.
QString sixDigits(unsigned int v) { return formatFillZero(6, static_cast<long long>(static_cast<int>(v))); }
}  // namespace

AppenderConsole::AppenderConsole(bool includeTrailler) : Appender(QStringLiteral("console")), m_includeTrailler(includeTrailler) {}

AppenderConsole::~AppenderConsole() = default;

QString AppenderConsole::trailerFromLogMessage(LogMessage* msg) {
    QString time;
    switch (atomicTimeFormat.load()) {
        case 0: time = msg->getTime().getTheTimeString("%M:%S", ZorTime::MILLISECONDS); break;
        case 1: time = msg->getTime().getTheTimeString("%H:%M:%S", ZorTime::MILLISECONDS); break;
        case 2: time = msg->getTime().getTheTimeString("%M:%S", ZorTime::MICROSECONDS); break;
        case 3: time = msg->getTime().getTheTimeString("%H:%M:%S", ZorTime::MICROSECONDS); break;
        default: break;
    }
    const QString thread = msg->isMainThreadMessage() ? QStringLiteral("000000")
                                                      : formatFillZero(6, static_cast<long long>(msg->getThreadId()));
    QString r;
    r.reserve(48 + time.size());
    r += QLatin1Char('[');
    r += sixDigits(msg->getNumber());
    r += QLatin1String("] [");
    r += QLatin1String(logLevelToString(msg->getLogLevel()));
    r += QLatin1String("] [");
    r += time;
    r += QLatin1String("] [");
    r += thread;
    r += QLatin1String("] ");
    return r;
}

QString AppenderConsole::trailerSimple() {
    const unsigned int n = s_simpleCounter.fetch_add(1);
    const QString now = ZorTime(true).getTheTimeString("%H:%M:%S", ZorTime::MILLISECONDS);
    return QLatin1Char('<') + sixDigits(n) + QLatin1String("> <") + now + QLatin1String("> <") +
           formatFillZero(6, static_cast<long long>(getCurrentThreadID())) + QLatin1String("> ");
}

QString AppenderConsole::formatLine(LogMessage* msg) {
    QString line;
    if (m_includeTrailler.load()) line = trailerFromLogMessage(msg);
    if (msg->getSpace() > 0) line += QString(static_cast<int>(msg->getSpace()), QLatin1Char(' '));
    if (msg->hasAttachment()) {
        LogAttachment* a = msg->detach();
        const bool valid = a->getSize() > 0 && a->isOK();
        line += valid ? QLatin1String("{mem:1}") : QLatin1String("{mem:0}");
        delete a;  // appenders later in the list no longer see it
    }
    line += msg->toString();
    return line;
}

void AppenderConsole::append(LogMessage* msg) {
    QByteArray bytes = formatLine(msg).toUtf8();
    bytes.append('\n');
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

// Lines gather in the standard output's buffer while the logger works through a burst.
void AppenderConsole::flush() { std::fflush(stdout); }

}  // namespace zor
