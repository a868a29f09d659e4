#include <zor/ConsoleFilterQt.h>
#include <zor/LogFilter.h>
#include <zor/LogFilterList.h>
#include <zor/LogFilterString.h>

#include <zor/FatalChecks.h>
#include <zor/LogMessage.h>
#include <zor/Logger.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zor {

LogFilter::~LogFilter() = default;

QString LogFilter::toString() const { return QStringLiteral("LogFilter"); }

LogFilterString::LogFilterString(const QString& filter, bool ignoreCase, bool negated)
    : LogFilter(negated), filter(filter), ignoreCase(ignoreCase), upperFilter(filter.toUpper()) {}

void LogFilterString::setStringFilter(const QString& text) {
    filter = text;
    upperFilter = text.toUpper();
}

void LogFilterString::setIgnoreCase(bool on) { ignoreCase = on; }

bool LogFilterString::matchLogMessage(const LogMessage* msg) const {
    if (msg == nullptr) return false;
    // toString() builds the text; it does not change the message.
    const QString text = const_cast<LogMessage*>(msg)->toString();
    const bool contains = ignoreCase ? text.toUpper().contains(upperFilter) : text.contains(filter);
    return negated ? !contains : contains;
}

QString LogFilterString::toString() const { return xformat("isIgnoreCase:$, filter '$'", ignoreCase, filter); }

bool LogFilterList::matchLogMessage(const LogMessage* msg) const {
    if (msg == nullptr) nullPointerHandling("libSrc/core/src/tools/log/LogFilterList", 40, QStringLiteral("lm == NULL"));
    for (const auto& f : filters)
        if (!f->matchLogMessage(msg)) return false;
    return true;
}

void LogFilterList::addFilter(std::shared_ptr<LogFilter> filter) {
    if (!filter) nullPointerHandling("libSrc/core/src/tools/log/LogFilterList", 23, QStringLiteral("filter == NULL"));
    filters.push_back(std::move(filter));
}

void LogFilterList::removeFilter(std::shared_ptr<LogFilter> filter) {
    if (!filter) nullPointerHandling("libSrc/core/src/tools/log/LogFilterList", 29, QStringLiteral("filter == NULL"));
    filters.erase(std::remove(filters.begin(), filters.end(), filter), filters.end());
}

void LogFilterList::show(unsigned int space) const {
    logDebugSpace(space, "LogFilterList: $ filter", static_cast<unsigned long long>(filters.size()));
    for (std::size_t i = 0; i < filters.size(); ++i)
        logDebugSpace(space, "filter[$]: '$'", static_cast<unsigned long long>(i), filters[i]->toString());
}

// ---- ConsoleFilterQt

QStringList ConsoleFilterQt::listFilter;
QList<const char*> ConsoleFilterQt::listPointer;
QList<QByteArray> ConsoleFilterQt::listStorage;
bool ConsoleFilterQt::flagIni = false;
char ConsoleFilterQt::messageBuffer[ConsoleFilterQt::MAX_MSG];
QtMessageHandler ConsoleFilterQt::previous = nullptr;

void ConsoleFilterQt::install(const QStringList& filters) {
    listFilter = filters;
    listStorage.clear();
    listPointer.clear();
    // An empty text would be found in every message: it is not kept.
    for (const QString& f : filters)
        if (!f.isEmpty()) listStorage << f.toLocal8Bit();
    // The byte arrays are not touched again until uninstall: their data pointers stay valid.
    for (const QByteArray& b : listStorage) listPointer << b.constData();
    QtMessageHandler before = qInstallMessageHandler(&ConsoleFilterQt::daMessageOut);
    if (!flagIni) previous = before;
    flagIni = true;
}

void ConsoleFilterQt::uninstall() {
    if (!flagIni) return;
    qInstallMessageHandler(previous);
    previous = nullptr;
    flagIni = false;
    listPointer.clear();
    listStorage.clear();
    listFilter.clear();
}

void ConsoleFilterQt::daMessageOut(QtMsgType, const QMessageLogContext&, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    const int n = std::min(bytes.size(), MAX_MSG - 1);
    std::memcpy(messageBuffer, bytes.constData(), static_cast<std::size_t>(n));
    messageBuffer[n] = '\0';
    for (const char* p : listPointer)
        if (std::strstr(messageBuffer, p) != nullptr) return;
    std::fprintf(stderr, "%s\n", messageBuffer);
}

}  // namespace zor
