#include <zor/ConsoleFilterQt.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zor {

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
