// Path helpers: the directory part of a path at its edges, drive roots, file times; the text
// helpers that format numbers and upper-case bytes.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/Environment.h>
#include <zor/PathTools.h>
#include <zor/TextHelpers.h>

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

using namespace zor;

TEST(PathTools, DirectoryPartAndDrives) {
    const std::pair<QString, QString> dirs[] = {
        {"/a/b/c.txt", "/a/b"},
        {"c.txt", "c.txt"},
        {"/x", "/x"},  // the first character is never a cut point
        {"a", ""},
        {QString(), ""},
        {"C:\\dir\\f", "C:\\dir"},
        {"a/b\\c/", "a/b\\c"},
        {QString(3000, QLatin1Char('d')) + "/f", QString(2047, QLatin1Char('d'))},  // only 2047 characters count
    };
    for (const auto& d : dirs) EXPECT_EQ(getDirPath(d.first), d.second) << qPrintable(d.first.left(20));

    for (const char* p : {"C:", "d:\\", "z:/"}) EXPECT_TRUE(is_drive_path(QLatin1String(p))) << p;
    for (const char* p : {"C:\\dir", "1:", "C;", "C:x"}) EXPECT_FALSE(is_drive_path(QLatin1String(p))) << p;
    EXPECT_TRUE(is_drive(QFileInfo(QStringLiteral("C:"))));
    EXPECT_TRUE(is_drive(QFileInfo(QStringLiteral("d:\\"))));
    EXPECT_FALSE(is_drive(QFileInfo(QStringLiteral("C:\\dir"))));
    EXPECT_FALSE(is_drive(QFileInfo(QStringLiteral("/"))));
}

TEST(PathTools, FileTimes) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("t.txt"));
    ASSERT_NO_FATAL_FAILURE(zortest::writeFile(name, "x"));
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime(QDate(2021, 3, 1), QTime(8, 5, 3), Qt::UTC), QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(get_timestamp_micro_sec(QFileInfo(name)), 1614585903000ULL) << "milliseconds since 1970 UTC";
    EXPECT_EQ(get_timestamp_string(QFileInfo(name), QStringLiteral("yyyy")), QStringLiteral("2021"));
    EXPECT_EQ(get_timestamp_micro_sec(QFileInfo(dir.filePath(QStringLiteral("none")))), 0ULL);
    EXPECT_EQ(get_timestamp_string(QFileInfo(dir.filePath(QStringLiteral("none"))), QStringLiteral("yyyy")), QString());
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("get_timestamp")).size(), 2);
}

TEST(PathTools, NumberTextsAndUpperCase) {
    const std::pair<float, const char*> floats[] = {
        {0.0f, "+0.00"}, {-0.0f, "+0.00"}, {-1.5f, "-1.50"}, {2.345f, "+2.35"}, {-0.001f, "-0.00"}};
    for (const auto& f : floats) EXPECT_EQ(formatFloat(f.first), QLatin1String(f.second)) << f.first;
    EXPECT_EQ(formatMillisecond_as_Sec(2500), QStringLiteral("2,500.000"));
    EXPECT_EQ(formatMillisecond_as_Sec(0), QStringLiteral("0,000.000"));
    EXPECT_FALSE(formatMillisecond_as_Sec(~0ULL).isEmpty()) << "no wrap of the microseconds";

    char text[] = "ab1c\0zz";
    toUpperCase(text, 0);
    EXPECT_EQ(std::memcmp(text, "AB1C\0zz", 8), 0) << "up to the zero byte, not past it";
    char part[] = "abcd";
    toUpperCase(part, 2);
    EXPECT_STREQ(part, "ABcd");
    char bytes[] = {'a', '\0', 'b', 'z', '{', '`'};
    toUpperCase(bytes, sizeof bytes);
    EXPECT_EQ(std::memcmp(bytes, "A\0BZ{`", 6), 0) << "exactly n bytes, zero bytes included; only a-z change";
    toUpperCase(nullptr, 0);
}

TEST(PathTools, EnvironmentSwitches) {
    setEnv(QStringLiteral("ZOR_PT_Q"), QStringLiteral("\"word\""));
    EXPECT_EQ(getEnv(QStringLiteral("ZOR_PT_Q")), QStringLiteral("word"));
    EXPECT_EQ(getEnv(QStringLiteral("ZOR_PT_UNSET_ANYWHERE")), QString());
    setEnv(QStringLiteral("ZOR_PT_B"), QStringLiteral("yes"));
    EXPECT_FALSE(isEnv(QStringLiteral("ZOR_PT_B")));
    setEnv(QStringLiteral("ZOR_PT_B"), QStringLiteral("True"));
    EXPECT_TRUE(isEnv(QStringLiteral("ZOR_PT_B")));
    EXPECT_EQ(getEnvironmentMap().at(QStringLiteral("ZOR_PT_B")), QStringLiteral("True"));
}
