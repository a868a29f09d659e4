// The examples of the module pages of the reference (docs/groups.dox shows them with \snippet).
// The build compiles this file, so an example that no longer fits the headers breaks the build
// rather than misleading a reader. Each example is one function; nothing calls them.
#include <zor/core.h>

#include <QFileInfo>
#include <atomic>
#include <cstdio>

using namespace zor;

void exampleGlobal() {
    //! [global]
    QString line = xformat("copied $ files to '$' in $ s", 12, "/data", 0.25);
    // "copied 12 files to '/data' in 0.250000 s"
    QString size = formatBytes(1500);  // "1.50 KB"
    //! [global]
    (void)line;
    (void)size;
}

int exampleLog(int argc, char** argv) {
    //! [log]
    CommandLine cmd(argc, argv);      // --logLevel, --logFile, --logDir, --logRotate ...
    if (!Logger::ini(cmd)) return 1;  // console sink unless --logConsole false
    logInfo("Main::run, $ files in '$'", 12, "/data");
    logWarning("Main::run, '$' is empty", "/data/new");
    Logger::quit();  // delivers everything logged before it
    //! [log]
    return 0;
}

void exampleError() {
    //! [error]
    XError err;
    err.setErrno(ENOENT);
    if (err.isError()) std::printf("%s\n", qPrintable(err.errAsString()));  // No such file or directory, errno:2
    QString why = exitZorErrorCodeToString(6);  // "argument problem (missing, range, ... ?)"
    //! [error]
    (void)why;
}

void exampleThread() {
    //! [thread]
    XThreadPool pool;
    std::atomic<int> sum{0};
    for (int i = 1; i <= 4; ++i) pool.start([&sum, i] { sum += i; });
    pool.waitForDone();  // a QThreadPool: sum is now 10
    //! [thread]
}

void exampleTime() {
    //! [time]
    XStopwatch watch;
    watch.start();
    // ... the work to time ...
    watch.stop();
    unsigned long long ms = watch.elapsed_time_milliSeconds();
    QString text = watch.toString();  // "elapsed:197 ms, total elapsed:197 ms"
    //! [time]
    (void)ms;
    (void)text;
}

void exampleText() {
    //! [text]
    double d = FloatParser::stof(" -2.5e1");                // -25, without the locale's decimal point
    bool bad = FloatParser::stof("x") == FloatParser::NaN;  // the error value
    //! [text]
    (void)d;
    (void)bad;
}

void exampleMem() {
    //! [mem]
    XMem block("hello");  // the five characters and their terminator: length() == 6
    XByteArray copy = block.createByteArray();
    bool ok = block.isOK() && copy.size() == 6;
    //! [mem]
    (void)ok;
}

void exampleHash() {
    //! [hash]
    QString digest = MD5::md5FromString("abc");  // "900150983CD24FB0D6963F7D28E17F72"
    CheckSum sum = CheckSum::get_checksum("notes.txt", CheckSum::ALGO::SHA256);
    QString file = sum.toString();  // hex digits, or "err:FILE_NOT_EXIST" when there is no such file
    //! [hash]
    (void)digest;
    (void)file;
}

void exampleIo() {
    //! [io]
    writeByteArrayToFile("a,b\n1,2\n", "/tmp/table.csv");
    QString text = readAsciiFile("/tmp/table.csv");                 // "" when it cannot be read
    QString ext = getFileExtension("archive.TAR.GZ", true);         // "gz"
    bool csv = pattern_match_wild_card("/tmp/table.csv", "*.csv");  // true
    //! [io]
    (void)text;
    (void)ext;
    (void)csv;
}

void exampleFind() {
    //! [find]
    find::XFilter filter;
    filter.fileFilter.setPattern("*.log", false);
    filter.setContentFilter(find::XContentFilter("error & ~warning", false, find::XContentFilter::Paragraph));
    std::atomic<int> files{0};
    XFindStats stats = filter.searchDir("/var/log/app", 2, [&files](const find::XFilter::FileHit&) { ++files; });
    //! [find]
    (void)stats;
}

void exampleXml() {
    //! [xml]
    XNode* root = XNode::parseString("<conf><screen name=\"left\" width=\"640\"/></conf>", nullptr);  // null on failure
    XNode* screen = root ? root->query("/conf/screen@left") : nullptr;  // null when nothing matches
    int width = screen ? screen->getInt("width", 0) : 0;                // 640
    delete root;                                                        // the whole tree goes
    //! [xml]
    (void)width;
}

void exampleXtree() {
    //! [xtree]
    XTree t;
    t.set("width", 1920);
    t.setString("name", "main");
    XTree view;
    view.set("zoom", 2.0);
    t.set("view", std::move(view));
    double* zoom = t.pointerFromPath<double>("/view/zoom");  // null for a missing key or another type
    QString all = t.toStringExtended();                      // one line per tree
    //! [xtree]
    (void)zoom;
    (void)all;
}

int exampleProgram(int argc, char** argv) {
    //! [program]
    CommandLine cmd(argc, argv);  // zor compress --in a.txt --out a.z
    QString in = cmd.getString("in");
    int level = cmd.getInt("level", 6);  // 6 when --level is absent
    //! [program]
    (void)level;
    return in.isEmpty() ? 6 : 0;
}

void exampleNet() {
    //! [net]
    HttpHeader request;
    bool ok = request.fromString("GET /a HTTP/1.1\r\nHost: x:81\r\n\r\n");  // request, resource "/a", port 81
    QString host = request.getString("Host", QString());                    // "x:81"
    //! [net]
    (void)ok;
    (void)host;
}

void exampleMath() {
    //! [math]
    Vector3 x(1, 0, 0), y(0, 1, 0);
    Vector3 z = x % y;  // the cross product: (0, 0, 1)
    float d = x * y;    // the dot product: 0
    //! [math]
    (void)z;
    (void)d;
}

int exampleProcess() {
    //! [process]
    XRunGuard guard(QStringLiteral("my-program"));
    if (!guard.run_instance_of_program()) return 1;  // another instance runs
    //! [process]
    return 0;
}

void exampleUtil() {
    //! [util]
    MersenneTwister random;                    // the fixed default seed
    std::uint32_t r = random.genrand_int32();  // 1067595299, on every platform
    QString dir = getDirPath("/a/b/c.txt");    // "/a/b"
    //! [util]
    (void)r;
    (void)dir;
}
