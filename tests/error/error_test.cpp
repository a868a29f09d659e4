// Error words, their texts and the exit codes.
#include "support/CaptureAppender.h"

#include <zor/CommandLine.h>
#include <zor/Logger.h>
#include <zor/XError.h>
#include <zor/XErrorMap.h>
#include <zor/XLibBase.h>
#include <zor/ZorErrorCodes.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

using namespace zor;

TEST(XError, ErrnoAndLibraryCodes) {
    XError e;
    EXPECT_TRUE(e.isOK());
    EXPECT_FALSE(e.isError());
    e.setErrno(2);
    EXPECT_EQ(e.getErrno(), 2u);
    EXPECT_FALSE(e.isZorError());
    EXPECT_TRUE(e.isError());
    e.setErrno(0x12345);  // truncated to 16 bits
    EXPECT_EQ(e.getErrno(), 0x2345u);
    EXPECT_EQ(e.getZorError(), 0u);
    e.setZorError(110);
    EXPECT_TRUE(e.isZorTimeout());
    EXPECT_TRUE(e.isZorError());
    EXPECT_TRUE(e.isZorError(110));
    EXPECT_FALSE(e.isZorEOF());
    EXPECT_EQ(e.getErrno(), 0x8000u);
    EXPECT_EQ(e.getZorError(), 110u);
    e.setZorEOF();
    EXPECT_TRUE(e.isZorEOF());
    e.setZorTruncate();
    EXPECT_TRUE(e.isZorTruncate());
    e.setZorError(ZOR_ERROR_NUMBER_TOO_BIG);
    EXPECT_TRUE(e.isZorNumberTooBig());
    e.setZorError(0);
    EXPECT_FALSE(e.isZorError()) << "the marker alone is no library error";
    XError copy(e);
    EXPECT_EQ(copy.bitFlags().value(), e.bitFlags().value());
    e.clearError();
    EXPECT_TRUE(e.isOK());
}

TEST(XError, EveryBranchOfTheText) {
    XError e;
    EXPECT_EQ(e.errAsString(), QStringLiteral("NO-ERROR,errno==0"));
    e.setZorError(110);
    EXPECT_EQ(e.errAsString(), QStringLiteral("ZOR_ERROR_* {110} NOT DEFINED")) << "before the texts are registered";
    XLibBase::iniLibrary(0, nullptr, nullptr);
    EXPECT_EQ(e.errAsString(), QStringLiteral("zor,timeout"));
    e.setZorError(999);
    EXPECT_EQ(e.errAsString(), QStringLiteral("ZOR_ERROR_* {999} NOT DEFINED"));
    e.setZorError(0);
    EXPECT_EQ(e.errAsString(), QStringLiteral("ZOR-ERROR-0"));
    e.setErrno(ENOENT);
    EXPECT_EQ(e.errAsString(), QStringLiteral("No such file or directory, errno:2"));
    e.setErrno(4000);
    EXPECT_EQ(e.errAsString(), QStringLiteral("no error text, errno:4000"));
}

TEST(XError, SettingTheWordNotifiesWhenEmissionIsOn) {
    XError e;
    std::vector<std::pair<unsigned int, unsigned int>> seen;
    e.bitFlags().setInfoCallBack([&](unsigned int o, unsigned int n) { seen.emplace_back(o, n); });
    e.setErrno(5);
    EXPECT_TRUE(seen.empty());
    e.bitFlags().setEmitChanges(true);
    e.setZorEOF();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, 5u);
    EXPECT_EQ(seen[0].second, 0x8000u | (160u << 16));
}

TEST(XErrorMap, RegistrationOnceWithTheLibraryTexts) {
    testing::internal::CaptureStdout();
    XLibBase::iniLibrary(0, nullptr, nullptr);
    XLibBase::iniLibrary(0, nullptr, nullptr);  // the second call registers and prints nothing
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "");
    EXPECT_EQ(XErrorMap::size(), 8u);
    const std::map<unsigned int, QString> want = {
        {100, "zor,cannot read resource"}, {110, "zor,timeout"},      {120, "zor,buffer empty"},
        {130, "zor,object not initialized"}, {140, "zor,index out of range"}, {150, "zor,truncate"},
        {160, "zor,eof"},                  {170, "zor,number too big"}};
    EXPECT_EQ(XErrorMap::mapErr(), want);
    testing::internal::CaptureStdout();
    XErrorMap::addError(110, QStringLiteral("other"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "XErrorMap::addError, key already present, key:110\n");
    EXPECT_EQ(XErrorMap::getError(110), QStringLiteral("zor,timeout"));
    EXPECT_TRUE(XErrorMap::containsError(170));
    EXPECT_FALSE(XErrorMap::containsError(171));
}

TEST(XErrorMap, ShowAndPrintStringErrno) {
    zortest::LogCapture cap;
    XLibBase::iniLibrary(0, nullptr, nullptr);
    XErrorMap::showErrorMap(2);
    errno = ENOENT;
    EXPECT_EQ(XError::printStringErrno(QStringLiteral("FileReader::open, cannot open 'x'"), -1), -1);
    errno = ENOENT;
    EXPECT_EQ(XError::printStringErrno(QString(), 7), 7);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XErrorMap - size():8")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("100: 'zor,cannot read resource'")));
    EXPECT_TRUE(cap.containsText(
        QStringLiteral("FileReader::open, cannot open 'x', errno:No such file or directory, errno:2")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("No such file or directory, errno:2")));
    Logger::quit();
}

TEST(ExitCodes, Texts) {
    const char* texts[] = {"everything OK", "general failure", "configuration problem", "mathematical problem",
                           "file not found", "io problem", "argument problem (missing, range, ... ?)", "xml problem",
                           "quit gui directly (debug mode)", "parsing problem", "checksum problem"};
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(exitZorErrorCodeToString(i), QString::fromLatin1(texts[i]));
    EXPECT_EQ(exitZorErrorCodeToString(30), QStringLiteral("main helper problem"));
    EXPECT_EQ(exitZorErrorCodeToString(11), QStringLiteral("unknown errorcode"));
    EXPECT_EQ(exitZorErrorCodeToString(-1), QStringLiteral("unknown errorcode"));
}

TEST(ExitCodes, LastErrorMessages) {
    errno = 0;
    EXPECT_EQ(getLastErrorMessage(), QStringLiteral("ERRNO == 0"));
    errno = ECONNREFUSED;
    EXPECT_EQ(getLastErrorMessage(), QStringLiteral("WSAGetLastError:%1").arg(ECONNREFUSED));
    errno = ECONNREFUSED;
    EXPECT_EQ(get_last_error_message(), QStringLiteral("errno:%1 => WSAGetLastError:%1").arg(ECONNREFUSED));
}

using ExitAppDeathTest = testing::Test;

TEST_F(ExitAppDeathTest, CountsDownLogsAndExitsWithOne) {
    EXPECT_EXIT(
        {
            dup2(2, 1);
            const char* argv[] = {"prog"};
            zor::CommandLine cmd(1, const_cast<char**>(argv));
            Logger::ini(cmd);
            exitApp(QStringLiteral("cannot go on"), 1);
        },
        testing::ExitedWithCode(1), "\\[ERROR\\] .*cannot go on\n.*\\[WARN#\\] .*program end 1 sec\n");
}
