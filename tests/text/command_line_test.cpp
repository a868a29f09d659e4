#include <zor/CommandLine.h>
#include <zor/Environment.h>
#include <zor/Logger.h>

#include "support/CaptureAppender.h"

#include <QCoreApplication>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zor;

namespace {

CommandLine fromArgs(std::vector<const char*> args) {
    return CommandLine(static_cast<int>(args.size()), const_cast<char**>(args.data()));
}


}  // namespace

TEST(CommandLine, FromMainKeysValuesAndStrays) {
    const CommandLine one = fromArgs({"prog"});
    EXPECT_EQ(one.getProgram(), "prog");
    EXPECT_FALSE(one.hasCommand());
    EXPECT_TRUE(one.getItems().empty());

    const CommandLine cmd = fromArgs({"prog", "run", "stray", "--n", "5", "--v"});
    EXPECT_EQ(cmd.getCommand(), "run");
    EXPECT_EQ(cmd.getItems().size(), 2u) << "the stray value before any key is dropped";
    EXPECT_EQ(cmd.getInt("n", 9), 5);
    EXPECT_TRUE(cmd.hasKey("v"));
    EXPECT_TRUE(cmd["v"]);
    EXPECT_EQ(cmd.getString("v", "dflt"), "");
    EXPECT_FALSE(cmd.getBool("v", true)) << "a key without value reads as false";
    EXPECT_TRUE(cmd.getBool("absent", true));

    const CommandLine two = fromArgs({"p", "c", "--a", "--b", "x", "y", "--b", "z", "--a"});
    EXPECT_EQ(two.getString("a"), "");
    EXPECT_EQ(two.getString("b"), "z") << "a key given twice keeps the last value";
    EXPECT_FALSE(two.hasKey("y"));
    const CommandLine kept = fromArgs({"p", "c", "--a", "1", "--a"});
    EXPECT_EQ(kept.getString("a"), "1") << "a repeated key without value keeps the value it had";

    CommandLine reused = fromArgs({"p", "c", "--old", "1"});
    reused.fromMain(0, nullptr);
    EXPECT_TRUE(reused.getProgram().isEmpty());
    EXPECT_FALSE(reused.hasKey("old"));
}

TEST(CommandLine, TypedGettersAndSetters) {
    CommandLine cmd = fromArgs({"p", "c", "--i", "-7", "--bad", "12abc", "--u", "4000000000", "--big",
                                "18446744073709551615", "--f", "2.5", "--t", "TRUE", "--on", "on", "--one", "1",
                                "--yes", "yes", "--file", "/no/such/file.txt"});
    EXPECT_EQ(cmd.getInt("i", 3), -7);
    EXPECT_EQ(cmd.getInt("bad", 3), 0) << "a value that is no number gives 0, not the default";
    EXPECT_EQ(cmd.getInt("missing", 3), 3);
    EXPECT_EQ(cmd.getUInt("u", 1), 4000000000u);
    EXPECT_EQ(cmd.getUInt("i", 1), 0u);
    EXPECT_EQ(cmd.getULong("big", 1), 18446744073709551615ull);
    EXPECT_FLOAT_EQ(cmd.getFloat("f", 1), 2.5f);
    EXPECT_DOUBLE_EQ(cmd.getDouble("f", 1), 2.5);
    EXPECT_DOUBLE_EQ(cmd.getDouble("bad", 1), 0.0);
    EXPECT_DOUBLE_EQ(cmd.getDouble("missing", 1.5), 1.5);
    EXPECT_TRUE(cmd.isBool("t", false));
    EXPECT_TRUE(cmd.isBool("on", false));
    EXPECT_TRUE(cmd.isBool("one", false));
    EXPECT_FALSE(cmd.isBool("yes", true));
    EXPECT_EQ(cmd.getFile("file", QFileInfo()).fileName(), "file.txt");
    EXPECT_EQ(cmd.getFile("nofile", QFileInfo("d.txt")).fileName(), "d.txt");
    EXPECT_TRUE(cmd.isString("f", "2.5"));
    EXPECT_FALSE(cmd.isString("missing", ""));

    setEnv("ZOR_CMD_T1", "value1");
    cmd.setString("e", "a$(ZOR_CMD_T1)");
    EXPECT_EQ(cmd.getString("e"), "a$(ZOR_CMD_T1)");
    EXPECT_EQ(cmd.getStringExt("e"), "avalue1");

    cmd.setBool("b", true);
    cmd.setChar("ch", -3);
    cmd.setShort("s", -32768);
    cmd.setLONG("l", -9000000000LL);
    cmd.setFloat("fl", 0.1f);
    cmd.setDouble("d", 0.1);
    EXPECT_EQ(cmd.getString("b"), "true");
    EXPECT_EQ(cmd.getInt("ch", 0), -3);
    EXPECT_EQ(cmd.getInt("s", 0), -32768);
    EXPECT_EQ(cmd.getString("l"), "-9000000000");
    EXPECT_EQ(cmd.getString("fl"), "0.1");
    EXPECT_EQ(cmd.getFloat("fl", 0), 0.1f);
    EXPECT_EQ(cmd.getDouble("d", 0), 0.1);
}

TEST(CommandLine, FromStringQuotesAndBadInput) {
    zortest::LogCapture cap;
    setEnv("ZOR_CMD_T2", "envval");
    CommandLine cmd;
    cmd.setProgram("prog");
    ASSERT_TRUE(cmd.fromString("run --name \"a b  c\" --e $(ZOR_CMD_T2) --empty \"\" --flag\t--n -5"));
    EXPECT_EQ(cmd.getProgram(), "prog") << "the program stays";
    EXPECT_EQ(cmd.getCommand(), "run");
    EXPECT_EQ(cmd.getString("name"), "a b  c");
    EXPECT_EQ(cmd.getString("e"), "envval");
    EXPECT_TRUE(cmd.hasKey("empty"));
    EXPECT_EQ(cmd.getString("empty", "x"), "");
    EXPECT_TRUE(cmd.hasKey("flag"));
    EXPECT_EQ(cmd.getString("flag"), "");
    EXPECT_EQ(cmd.getInt("n", 0), -5) << "a value may begin with '-'";

    // Failures leave the command line as it was.
    EXPECT_FALSE(cmd.fromString("other --x \"open"));
    EXPECT_FALSE(cmd.fromString("other -x 1"));
    EXPECT_EQ(cmd.getCommand(), "run");
    EXPECT_FALSE(cmd.hasKey("x"));

    EXPECT_TRUE(cmd.fromString(""));
    EXPECT_FALSE(cmd.hasCommand()) << "the command is cleared";
    EXPECT_TRUE(cmd.fromString("\"-quoted\""));
    EXPECT_EQ(cmd.getCommand(), "-quoted") << "a quoted word is never a dash word";

    zortest::drainLogger();
    const QStringList l = cap.texts();
    EXPECT_TRUE(l.contains("CommandLine::from_String_old, cannot parse <<<other --x \"open>>>"));
    EXPECT_TRUE(l.contains("CommandLine::from_String_old, cannot parse <<<other -x 1>>>"));
    Logger::quit();
}

TEST(CommandLine, FromUrlAndBack) {
    zortest::LogCapture cap;
    CommandLine cmd;
    ASSERT_TRUE(cmd.fromURL(QStringLiteral("zor://host/path?prog;compress&in=a%20b.txt;--out=\"x;y&z\";v")));
    EXPECT_EQ(cmd.getProgram(), "prog");
    EXPECT_EQ(cmd.getCommand(), "compress");
    EXPECT_EQ(cmd.getString("in"), "a b.txt");
    EXPECT_EQ(cmd.getString("out"), "x;y&z") << "quotes keep the separators inside";
    EXPECT_TRUE(cmd.hasKey("v"));
    EXPECT_EQ(cmd.getItems().size(), 3u);

    CommandLine readme;
    ASSERT_TRUE(readme.fromURL(QStringLiteral("zor:?zor;compress;in=a.txt;out=a.z")));
    EXPECT_EQ(readme.toString(), "zor compress --in a.txt --out a.z ");

    CommandLine back;
    back.setString("stale", "1");
    cmd.setString("odd", "50% = half; & more");
    cmd.setString(" padded key ", "  value\t");
    ASSERT_TRUE(back.fromURL(QUrl(QStringLiteral("zor:?") + cmd.toStringURL())));
    EXPECT_EQ(back.getString(" padded key "), "  value\t") << "blanks at the ends survive the query form";
    EXPECT_EQ(back.getProgram(), "prog");
    EXPECT_EQ(back.getCommand(), "compress");
    EXPECT_EQ(back.getString("odd"), "50% = half; & more");
    EXPECT_EQ(back.getString("out"), "x;y&z");
    EXPECT_FALSE(back.hasKey("stale")) << "a URL replaces the whole command line";

    EXPECT_FALSE(back.fromURL(QStringLiteral("http://[::1")));
    EXPECT_FALSE(back.fromURL(QStringLiteral("zor://host/path")));
    EXPECT_FALSE(back.fromURL(QStringLiteral("zor:?p;c;k=\"open")));
    EXPECT_EQ(back.getProgram(), "prog") << "failures change nothing";
    zortest::drainLogger();
    const QStringList l = cap.texts();
    EXPECT_TRUE(l.contains("CommandLine::fromURL, not valid !"));
    EXPECT_TRUE(l.contains("CommandLine::fromURL, no query ....?...."));
    EXPECT_TRUE(l.contains("::getKeyValsAsArray, string not closed ! - '\" missing !"));
    Logger::quit();
}

TEST(CommandLine, ProgramNameAndTextForms) {
    const CommandLine cmd = fromArgs({"/usr/bin/tool", "run", "--b", "2", "--a", "1"});
    QCoreApplication::setApplicationName("tool.Exe");
    EXPECT_EQ(cmd.getProgramName(), "tool");
    QCoreApplication::setApplicationName("tool.EXE");
    EXPECT_EQ(cmd.getProgramName(), "tool");
    QCoreApplication::setApplicationName("tool.exe");
    EXPECT_EQ(cmd.getProgramName(), "tool");
    QCoreApplication::setApplicationName("tool.eXe");
    EXPECT_EQ(cmd.getProgramName(), "tool.eXe");
    QCoreApplication::setApplicationName(QString());
    EXPECT_EQ(cmd.getProgramName(), "tool");

    EXPECT_EQ(cmd.toString(CommandLine::FORMAT_PROGRAM), "/usr/bin/tool run --a 1 --b 2 ");
    EXPECT_EQ(cmd.toString(CommandLine::FORMAT_COMMAND), "run --a 1 --b 2 ");
    EXPECT_EQ(cmd.toString(CommandLine::FORMAT_ITEMS), "--a 1 --b 2 ");
    EXPECT_EQ(fromArgs({"p", "c"}).toString(), "p c");
    EXPECT_EQ(fromArgs({"p"}).toString(), "p");

    zortest::LogCapture cap;
    cmd.showParsedArgs(INFO);
    zortest::drainLogger();
    EXPECT_EQ(cap.lastLines(7),
              "CommandLine::showParsedArgs|CommandLine - program: '/usr/bin/tool'|CommandLine - command: 'run'|"
              "CommandLine - mapItems-size:2|a: '1'|b: '2'|~CommandLine::showParsedArgs");
    EXPECT_EQ(cap.messages().back().level & 0xFFFFu, static_cast<unsigned>(INFO));
    Logger::quit();
}

TEST(CommandLine, RequiredKeysAbbreviationsAndExample) {
    zortest::LogCapture cap;
    CommandLine cmd = fromArgs({"p", "run", "--in", "a"});
    cmd.addMustHaveKeys("in, out");
    cmd.addOptionalKeys("v");
    EXPECT_EQ(cmd.buildCommandLineExample(true), "run --in arg --out arg [ --v arg ]");
    EXPECT_EQ(cmd.buildCommandLineExample(false), "run --in arg --out arg");
    EXPECT_FALSE(cmd.checkKeys());
    EXPECT_EQ(cmd.getFirstMissingKey(), "out");
    EXPECT_EQ(cmd.showExample("zor", "first line\nsecond line"), 6);
    zortest::drainLogger();
    EXPECT_EQ(cap.lastLines(5), "missing --out|example:|zor run --in arg --out arg [ --v arg ]|first line|second line");

    // "-o" and "--ou" stand for out, "-v" for v; "-x" fits nothing and is dropped.
    CommandLine abbr = fromArgs({"p", "run", "--in", "a", "-o", "b.txt", "-x", "--verb", "-v", "1"});
    abbr.addMustHaveKeys("in,out");
    abbr.addOptionalKeys("v,verbose");
    EXPECT_TRUE(abbr.checkKeys());
    EXPECT_EQ(abbr.getString("out"), "b.txt");
    EXPECT_EQ(abbr.getString("v"), "1");
    EXPECT_TRUE(abbr.hasKey("verbose")) << "--verb is the beginning of verbose only";
    EXPECT_FALSE(abbr.hasKey("verb"));
    EXPECT_EQ(abbr.showExample("zor", "help"), 0);
    EXPECT_EQ(abbr.showExample("zor", ""), 6) << "an empty help text also gives 6";

    CommandLine ambiguous = fromArgs({"p", "run", "--o", "1", "--in", "x", "--out", "y"});
    ambiguous.addMustHaveKeys("in,out");
    ambiguous.addOptionalKeys("other");
    EXPECT_TRUE(ambiguous.checkKeys());
    EXPECT_EQ(ambiguous.getString("o"), "1") << "an abbreviation of several keys stays as written";

    CommandLine help = fromArgs({"p", "run", "--in", "a", "--out", "b", "--help"});
    help.addMustHaveKeys("in,out");
    EXPECT_FALSE(help.checkKeys());
    EXPECT_EQ(help.showExample("zor", "text"), 6);
    Logger::quit();
}
