#include <zor/ArgsEnv.h>
#include <zor/CommandLine.h>
#include <zor/Environment.h>
#include <zor/Logger.h>
#include <zor/XArgs.h>
#include <zor/XRecord.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zor;

TEST(XArgs, FromStringQuotesAndStrays) {
    zortest::LogCapture cap;
    XArgs a;
    EXPECT_FALSE(a);
    ASSERT_TRUE(a.fromString("stray --name \"two  words\" --q 'it''s' --flag\t--n 5 --mix a\"b c\"d --dash \"--x\""));
    EXPECT_TRUE(a);
    EXPECT_EQ(a["name"], "two  words");
    EXPECT_EQ(a["q"], "its") << "quotes are dropped, their contents kept";
    EXPECT_TRUE(a.hasKey("flag"));
    EXPECT_EQ(a["flag"], "");
    EXPECT_EQ(a["n"], "5");
    EXPECT_EQ(a["mix"], "ab cd");
    EXPECT_EQ(a["dash"], "--x") << "a quoted word is a value, never a key";
    EXPECT_FALSE(a.hasKey("stray"));
    EXPECT_EQ(a["missing"], "");
    EXPECT_EQ(a.size(), 6u);

    XArgs back;
    ASSERT_TRUE(back.fromString(a.toString())) << a.toString().toStdString();
    EXPECT_EQ(back.getMap(), a.getMap());
    XArgs quotes;
    quotes.setValue("dq", "say \"hi\"");
    quotes.setValue("sq", "it's");
    quotes.setValue("neg", "-1");
    quotes.setKeyOnly("only");
    XArgs quotesBack;
    ASSERT_TRUE(quotesBack.fromString(quotes.toString()));
    EXPECT_EQ(quotesBack.getMap(), quotes.getMap());

    EXPECT_FALSE(back.fromString("--k 'open"));
    EXPECT_FALSE(back.fromString("--k v -- x"));
    EXPECT_FALSE(back.hasKey("k")) << "a failed parse adds nothing";
    setEnv("ZOR_XARGS_T1", "E");
    EXPECT_EQ(XArgs::replacedEnvironment("a$(ZOR_XARGS_T1)b"), "aEb");
    a.show(INFO);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("XArgs::from_String_old, string not closed '--k 'open'"));
    EXPECT_TRUE(cap.containsText("XArgv::from_String_old, -- without key is not allowed !"));
    EXPECT_TRUE(cap.containsText("XArgs, size:6"));
    EXPECT_TRUE(cap.containsText("--name 'two  words'"));
    Logger::quit();
}

TEST(ArgsEnv, DeepCopiesAndShow) {
    const char* argv[] = {"/bin/prog", "run", "--in", "a b", nullptr};
    const char* env[] = {"A=1", "B=two", nullptr};
    ArgsEnv ae;
    EXPECT_TRUE(ae.isEmpty());
    {
        std::vector<std::string> owned(argv, argv + 4);
        std::vector<char*> ptrs;
        for (auto& s : owned) ptrs.push_back(&s[0]);
        ptrs.push_back(nullptr);
        ae.fromMain(4, ptrs.data(), const_cast<char**>(env));
        owned.assign(4, std::string("overwritten"));
    }
    ASSERT_EQ(ae.getArgc(), 4);
    EXPECT_STREQ(ae.getArgv()[3], "a b") << "the copy does not share the caller's strings";
    EXPECT_EQ(ae.getArgv()[4], nullptr);
    ASSERT_EQ(ae.getEnvCount(), 2);
    EXPECT_STREQ(ae.getEnv()[1], "B=two");
    EXPECT_EQ(ae.getEnv()[2], nullptr);
    EXPECT_EQ(ae.arg(1), "run");
    EXPECT_EQ(ae.arg(9), "");

    ArgsEnv copy(ae);
    ArgsEnv moved(std::move(ae));
    EXPECT_STREQ(copy.getArgv()[0], "/bin/prog");
    EXPECT_STREQ(moved.getEnv()[0], "A=1");
    EXPECT_NE(copy.getArgv()[0], moved.getArgv()[0]);
    ArgsEnv assigned;
    assigned = copy;
    copy = ArgsEnv();
    EXPECT_STREQ(assigned.getArgv()[2], "--in");
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_EQ(copy.getArgv()[0], nullptr);

    ArgsEnv withProcessEnv;
    withProcessEnv.fromMain(1, const_cast<char**>(argv), nullptr);
    EXPECT_GT(withProcessEnv.getEnvCount(), 0) << "a null environment takes the process environment";

    testing::internal::CaptureStdout();
    assigned.showCout();
    ArgsEnv().showCout();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "argc:4\n    argv[0] '/bin/prog'\n    argv[1] 'run'\n    argv[2] '--in'\n    argv[3] 'a b'\n"
              "env variables:2\n    env[0] 'A=1'\n    env[1] 'B=two'\nArgsEnv is *EMPTY*\n");

    zortest::LogCapture cap;
    assigned.show(INFO);
    zortest::drainLogger();
    const QStringList l = cap.texts();
    const int at = l.indexOf("ArgsEnv::showInfo");
    ASSERT_GE(at, 0);
    EXPECT_EQ(l.mid(at).join('|'),
              "ArgsEnv::showInfo|argc:4|argv[0] '/bin/prog'|argv[1] 'run'|argv[2] '--in'|argv[3] 'a b'|"
              "env variables:2|env[0] 'A=1'|env[1] 'B=two'");
    cap.clear();
    ArgsEnv().show(INFO);
    ArgsEnv().showArgsOnly(INFO);
    assigned.showArgsOnly(INFO);
    assigned.startProgram();
    zortest::drainLogger();
    EXPECT_EQ(cap.texts().join('|'),
              "ArgsEnv::showInfo|ArgsEnv is *EMPTY*|ArgsEnv - no args|argc:4|argv[0] '/bin/prog'|argv[1] 'run'|"
              "argv[2] '--in'|argv[3] 'a b'|ArgsEnv::startProgram");
    Logger::quit();
}

TEST(ArgsEnv, FromCommandLineAndRecord) {
    const char* argv[] = {"prog", "run", "--b", "2", "--a"};
    const CommandLine cmd(5, const_cast<char**>(argv));
    ArgsEnv ae;
    ae.fromCommandLine(cmd, false);
    ASSERT_EQ(ae.getArgc(), 5);
    EXPECT_STREQ(ae.getArgv()[0], "prog");
    EXPECT_STREQ(ae.getArgv()[1], "run");
    EXPECT_STREQ(ae.getArgv()[2], "--a");
    EXPECT_STREQ(ae.getArgv()[3], "--b");
    EXPECT_STREQ(ae.getArgv()[4], "2");
    EXPECT_EQ(ae.getEnvCount(), 0);
    // The vector parses back to the same command line.
    const CommandLine again(ae.getArgc(), ae.getArgv());
    EXPECT_EQ(again.toString(), cmd.toString());
    ae.fromCommandLine(cmd, true);
    EXPECT_GT(ae.getEnvCount(), 0);

    XRecord rec;
    rec.setName("tool");
    rec.setInt("n", 3);
    ae.fromRecord(rec);
    ASSERT_EQ(ae.getArgc(), 3);
    EXPECT_STREQ(ae.getArgv()[0], "tool");
    EXPECT_STREQ(ae.getArgv()[1], "--n");
    EXPECT_STREQ(ae.getArgv()[2], "3");
}

TEST(ArgsEnv, RestartProgram) {
    // A program that exists replaces the process: the child ends with that program's exit code.
    const char* sh[] = {"/bin/sh", "-c", "exit 3"};
    const char* env[] = {"ZOR_T=1", nullptr};
    EXPECT_EXIT(
        {
            ArgsEnv ae;
            ae.fromMain(3, const_cast<char**>(sh), const_cast<char**>(env));
            ae.restartProgram();
            std::exit(9);
        },
        testing::ExitedWithCode(3), "");

    // One that does not exist returns, with the failure printed.
    const char* missing[] = {"/nonexistent/zor-restart", "again"};
    ArgsEnv ae;
    ae.fromMain(2, const_cast<char**>(missing), const_cast<char**>(env));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(ae.restartProgram(), -1);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("ArgsEnv::restartProgram, result of execv:-1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ArgsEnv::restartProgram, errno:2\n"), std::string::npos) << out;
    EXPECT_NE(out.find(">>>/nonexistent/zor-restart<<<"), std::string::npos) << out;
    EXPECT_NE(err.find(std::strerror(ENOENT)), std::string::npos) << err;
}
