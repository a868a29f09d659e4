#include <zor/AppenderFile.h>

#include <zor/LogLevel.h>
#include <zor/LogMessage.h>
#include <zor/Logger.h>
#include <zor/TextHelpers.h>
#include <zor/ZorTime.h>
#include <zor/xformat.h>

#include <QDebug>
#include <QDir>

#include <cstdio>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // Unbuffered: the appender gathers lines itself and writes them in one call, into a buffer
    // that keeps its room from one write to the next.
    m_pending.reserve(kWriteThreshold + 4096);
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

namespace {
// Decimal digits of v at p, at least `width` of them (zero-filled); returns the end.
char* putDecimal(char* p, unsigned long long v, int width) {
    char tmp[24];
    int n = 0;
    do {
        tmp[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n < width) tmp[n++] = '0';
    while (n > 0) *p++ = tmp[--n];
    return p;
}

// The Latin-1 bytes of n UTF-16 units at out; a character beyond Latin-1 becomes '?'.
void putLatin1Bytes(char* out, const char16_t* s, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        // Eight units whose high bytes are all zero pack into eight bytes as they are.
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_srli_epi16(units, 8), zero)) != 0xFFFF) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(units, units));
    }
#endif
    for (; i < n; ++i) out[i] = s[i] < 256 ? static_cast<char>(s[i]) : '?';
}
}  // namespace

void AppenderFile::append(LogMessage* msg) {
    if (m_full.load()) {
        qDebug() << "AppenderFile::append, file is full";
        return;
    }
    if (m_maxLen != 0 && m_size >= m_maxLen) {
        m_full.store(true);
        return;
    }
    // The line is built straight into the gathered bytes: this runs once per message on the
    // logger thread, so it avoids the intermediate strings of formatLine (which gives the same).
    const int start = m_pending.size();
    const unsigned long long ticks = msg->getTime().getTicks();
    const unsigned long long second = ticks / 10000000ull;
    if (second != m_lastSecond) {
        m_lastSecond = second;
        m_lastSecondText = msg->getTime().getTheTimeString("%H:%M:%S", ZorTime::SECONDS).toLatin1();
    }
    char head[96];
    char* p = head;
    *p++ = '[';
    const int number = static_cast<int>(msg->getNumber());
    if (number < 0) p += std::snprintf(p, 16, "%06d", number);
    else p = putDecimal(p, static_cast<unsigned int>(number), 6);
    *p++ = ']';
    *p++ = ' ';
    *p++ = '[';
    for (const char* tag = logLevelToString(msg->getLogLevel()); *tag != 0 && p < head + 40; ++tag) *p++ = *tag;
    *p++ = ']';
    *p++ = ' ';
    *p++ = '[';
    m_pending.append(head, static_cast<int>(p - head));
    m_pending.append(m_lastSecondText);
    p = head;
    *p++ = ',';
    p = putDecimal(p, (ticks % 10000000ull) / 10ull, 6);
    *p++ = ']';
    *p++ = ' ';
    *p++ = '[';
    p = putDecimal(p, msg->getThreadId(), 1);
    *p++ = ']';
    *p++ = ' ';
    m_pending.append(head, static_cast<int>(p - head));
    const QString text = msg->toString();
    const int at = m_pending.size();
    m_pending.resize(at + text.size() + 1);
    char* out = m_pending.data() + at;
    putLatin1Bytes(out, reinterpret_cast<const char16_t*>(text.constData()), text.size());
    out[text.size()] = '\n';
    m_size += static_cast<unsigned long long>(m_pending.size() - start);
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
    m_pending.resize(0);  // keeps the reserved room
}

void AppenderFile::close() {
    flush();
    m_file.close();
}

}  // namespace zor
