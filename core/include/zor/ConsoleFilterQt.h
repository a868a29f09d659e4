#pragma once
/// \zclass{ConsoleFilterQt,log} A Qt message handler that writes Qt's own diagnostic messages to standard error,
/// one line each, unless they contain one of a list of texts.
/// \code
///   ConsoleFilterQt::install({"QObject::startTimer", "propagateSizeHints"});  ...  uninstall();
/// \endcode
/// Qt serialises its messages; the handler shares one static buffer. install and uninstall are
/// meant for start-up and shut-down, not for use while other threads emit Qt messages.
#include <zor/zor_export.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace zor {

class ZOR_EXPORT ConsoleFilterQt {
public:
    static constexpr int MAX_MSG = 65536;

    /// Keeps 8-bit copies of filters and installs daMessageOut as Qt's message handler.
    static void install(const QStringList& filters);
    /// Restores the handler that was installed before, forgets the texts.
    static void uninstall();
    static bool isInstalled() { return flagIni; }
    static QStringList filters() { return listFilter; }

    static void daMessageOut(QtMsgType type, const QMessageLogContext& context, const QString& text);

private:
    static QStringList listFilter;
    static QList<const char*> listPointer;  // into the copies below, valid while installed
    static QList<QByteArray> listStorage;
    static bool flagIni;
    static char messageBuffer[MAX_MSG];
    static QtMessageHandler previous;
};

}  // namespace zor
