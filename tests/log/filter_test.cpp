// Text filters of log messages and the Qt message handler that drops texts.
#include "support/CaptureAppender.h"

#include <zor/ConsoleFilterQt.h>
#include <zor/LogFilterList.h>
#include <zor/LogFilterString.h>
#include <zor/LogMessageString.h>
#include <zor/Logger.h>

#include <gtest/gtest.h>

#include <QTemporaryFile>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace zor;

TEST(LogFilterString, CaseNegationAndText) {
    LogMessageString lower(QStringLiteral("an err in the pipe"));
    LogMessageString other(QStringLiteral("all is well"));
    LogFilterString exact(QStringLiteral("ERR"), false, false);
    LogFilterString anyCase(QStringLiteral("ERR"), true, false);
    LogFilterString notErr(QStringLiteral("ERR"), true, true);

    EXPECT_FALSE(exact.matchLogMessage(&lower));
    EXPECT_TRUE(anyCase.matchLogMessage(&lower));
    EXPECT_FALSE(anyCase.matchLogMessage(&other));
    EXPECT_FALSE(notErr.matchLogMessage(&lower));
    EXPECT_TRUE(notErr.matchLogMessage(&other));
    EXPECT_FALSE(anyCase.matchLogMessage(nullptr));
    EXPECT_FALSE(notErr.matchLogMessage(nullptr));  // null never matches, negated or not

    EXPECT_EQ(anyCase.toString(), QStringLiteral("isIgnoreCase:true, filter 'ERR'"));
    exact.setStringFilter(QStringLiteral("err"));
    EXPECT_TRUE(exact.matchLogMessage(&lower));
    exact.setIgnoreCase(true);
    exact.setStringFilter(QStringLiteral("PIPE"));
    EXPECT_TRUE(exact.matchLogMessage(&lower));
    EXPECT_EQ(exact.toString(), QStringLiteral("isIgnoreCase:true, filter 'PIPE'"));
    EXPECT_EQ(static_cast<LogFilter&>(exact).LogFilter::toString(), QStringLiteral("LogFilter"));

    // Upper-casing must also work past Latin-1 and on an empty filter (matches everything).
    LogMessageString umlaut(QStringLiteral("Größe überschritten"));
    EXPECT_TRUE(LogFilterString(QStringLiteral("ÜBERSCHRITTEN"), true, false).matchLogMessage(&umlaut));
    EXPECT_TRUE(LogFilterString(QString(), false, false).matchLogMessage(&other));
}

TEST(LogFilterList, EveryFilterMustMatchAndRemovalAndShow) {
    LogMessageString msg(QStringLiteral("disk full on /var"));
    LogFilterList list;
    EXPECT_TRUE(list.matchLogMessage(&msg));  // empty: everything
    list.setNegated(true);
    EXPECT_TRUE(list.matchLogMessage(&msg));  // the list's own flag is not applied

    auto disk = std::make_shared<LogFilterString>(QStringLiteral("disk"), false, false);
    auto net = std::make_shared<LogFilterString>(QStringLiteral("net"), false, false);
    list.addFilter(disk);
    EXPECT_TRUE(list.matchLogMessage(&msg));
    list.addFilter(net);
    list.addFilter(net);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_FALSE(list.matchLogMessage(&msg));
    list.removeFilter(net);  // every entry holding it
    EXPECT_EQ(list.size(), 1u);
    EXPECT_TRUE(list.matchLogMessage(&msg));

    zortest::LogCapture cap;
    list.addFilter(net);
    list.show(2);
    zortest::drainLogger();
    const QStringList texts = cap.texts();
    EXPECT_TRUE(texts.filter(QStringLiteral("LogFilterList: 2 filter")).size() == 1);
    EXPECT_TRUE(texts.filter(QStringLiteral("filter[0]: 'isIgnoreCase:false, filter 'disk''")).size() == 1);
    EXPECT_TRUE(texts.filter(QStringLiteral("filter[1]: 'isIgnoreCase:false, filter 'net''")).size() == 1);
    loggerQuit();
}

namespace {
// Runs f with standard error sent to a temporary file and returns what was written there.
template <typename F>
QByteArray captureStderr(F f) {
    QTemporaryFile tmp;
    if (!tmp.open()) return QByteArray("<no temporary file>");
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(tmp.handle(), 2);
    f();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    tmp.seek(0);
    return tmp.readAll();
}
}  // namespace

TEST(ConsoleFilterQt, DropsMessagesContainingAListedText) {
    ConsoleFilterQt::install({QStringLiteral("QObject::startTimer"), QString(), QStringLiteral("noise")});
    EXPECT_TRUE(ConsoleFilterQt::isInstalled());
    EXPECT_EQ(ConsoleFilterQt::filters().size(), 3);
    const QByteArray out = captureStderr([] {
        qWarning("QObject::startTimer: Timers can only be used with threads started with QThread");
        qWarning("a message worth reading");
        qDebug("some noise here");
        qCritical("second line");
    });
    EXPECT_EQ(out, QByteArray("a message worth reading\nsecond line\n"));
    ConsoleFilterQt::uninstall();
    EXPECT_FALSE(ConsoleFilterQt::isInstalled());
}

TEST(ConsoleFilterQt, WithoutTextsEveryMessageIsWrittenAndLongOnesAreCut) {
    ConsoleFilterQt::install({});
    const QString longText(ConsoleFilterQt::MAX_MSG + 100, QLatin1Char('x'));
    const QByteArray out = captureStderr([&] {
        qWarning("one");
        qInfo("two");
        ConsoleFilterQt::daMessageOut(QtWarningMsg, QMessageLogContext(), longText);
    });
    ConsoleFilterQt::uninstall();
    ASSERT_TRUE(out.startsWith("one\ntwo\n"));
    EXPECT_EQ(out.size(), 8 + ConsoleFilterQt::MAX_MSG - 1 + 1);
    EXPECT_TRUE(out.endsWith("x\n"));
}
