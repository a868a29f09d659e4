// CheckSum: known digests, the block-wise calculation with progress and cancellation from another
// thread, and the error values and texts of missing files and unknown algorithms.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"
#include "support/Wait.h"

#include <zor/CheckSum.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace zor;
using ALGO = CheckSum::ALGO;
using ERR = CheckSum::ERR;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    zortest::writeFile(dir.filePath(name), bytes);
    return dir.filePath(name);
}

QByteArray pattern(int n) {
    QByteArray b(n, '\0');
    unsigned int x = 12345u;
    for (int i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = static_cast<char>(x >> 16);
    }
    return b;
}

// calc on its own thread-free path: run and percent as a caller would hold them.
CheckSum calcFile(const QString& path, ALGO algo, int* percentOut = nullptr) {
    CheckSum cs(QFileInfo(path), algo);
    XAtomic<bool> run{false};
    XAtomic<int> percent{0};
    cs.calc(run, percent);
    EXPECT_FALSE(run.load()) << "calc clears run when it ends";
    if (percentOut != nullptr) *percentOut = percent.load();
    return cs;
}

}  // namespace

TEST(CheckSum, KnownDigestsOfKnownTexts) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString abc = writeFile(dir, QStringLiteral("abc"), "abc");
    const QString empty = writeFile(dir, QStringLiteral("empty"), QByteArray());
    struct Case {
        ALGO algo;
        const char* abc;
        const char* empty;
    };
    const Case cases[] = {
        {ALGO::MD5, "900150983cd24fb0d6963f7d28e17f72", "d41d8cd98f00b204e9800998ecf8427e"},
        {ALGO::SHA1, "a9993e364706816aba3e25717850c26c9cd0d89d", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {ALGO::SHA256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
         "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CheckSum::algo_to_string(c.algo).toStdString());
        const CheckSum one = CheckSum::get_checksum(abc, c.algo);
        EXPECT_TRUE(static_cast<bool>(one));
        EXPECT_EQ(one.toString(), QLatin1String(c.abc));
        EXPECT_EQ(one.toString(true), QString::fromLatin1(c.abc).toUpper());
        EXPECT_EQ(one.get_checksum().toHex(), QByteArray(c.abc));
        int percent = 0;
        const CheckSum blocks = calcFile(abc, c.algo, &percent);
        EXPECT_EQ(blocks.toString(), QLatin1String(c.abc));
        EXPECT_EQ(percent, 100);
        EXPECT_EQ(CheckSum::get_checksum(empty, c.algo).toString(), QLatin1String(c.empty));
        EXPECT_EQ(calcFile(empty, c.algo).toString(), QLatin1String(c.empty)) << "an empty file maps to nothing";
    }
    EXPECT_EQ(CheckSum::algo_to_string(ALGO::SHA256), QStringLiteral("SHA256"));
    EXPECT_EQ(CheckSum::algo_to_string(static_cast<ALGO>(9)), QStringLiteral("unknown-algo"));
    EXPECT_EQ(CheckSum::err_to_string(ERR::CALCULATION), QStringLiteral("CALCULATION"));
    EXPECT_EQ(CheckSum::err_to_string(static_cast<ERR>(-1)), QStringLiteral("unknown-err"));
}

TEST(CheckSum, BlocksOfALargerFileAgreeWithOneCall) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray bytes = pattern(150000);
    const QString path = writeFile(dir, QStringLiteral("big.bin"), bytes);
    const std::pair<ALGO, QCryptographicHash::Algorithm> algos[] = {
        {ALGO::MD5, QCryptographicHash::Md5}, {ALGO::SHA1, QCryptographicHash::Sha1}, {ALGO::SHA256, QCryptographicHash::Sha256}};
    for (const auto& a : algos) {
        int percent = 0;
        const CheckSum cs = calcFile(path, a.first, &percent);
        EXPECT_EQ(percent, 100);
        EXPECT_TRUE(cs.is_error(ERR::NO_ERROR));
        EXPECT_EQ(cs.get_checksum(), QCryptographicHash::hash(bytes, a.second));
        EXPECT_EQ(cs.get_checksum(), CheckSum::get_checksum(path, a.first).get_checksum());
    }
    // With the trace on, the blocks are counted: 65,536 + 65,536 + 18,928 bytes.
    CheckSum::setDebug(true);
    const CheckSum traced = calcFile(path, ALGO::SHA1);
    CheckSum::setDebug(false);
    EXPECT_EQ(traced.get_checksum(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha1));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::calc, countBlocks:3")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::calc, <<<") + path + QStringLiteral(">>>, algo:SHA1, len:150.000")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::~calc, err:NO_ERROR")));

    // A copy carries the digest and the hash in progress.
    CheckSum copy(traced);
    EXPECT_EQ(copy.toString(), traced.toString());
    CheckSum assigned;
    assigned = copy;
    EXPECT_TRUE(assigned.toStringFull().startsWith(QStringLiteral("SHA1 ") + traced.toString() + QStringLiteral(" '") + path +
                                                   QStringLiteral("' err:NO_ERROR elapsed:")));
}

TEST(CheckSum, CancelledHalfWayFromAnotherThread) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = writeFile(dir, QStringLiteral("m.bin"), pattern(1 << 20));
    // The trace pauses the calculation at every tenth, which leaves the other thread time to cancel.
    CheckSum::setDebug(true);
    CheckSum cs(QFileInfo(path), ALGO::SHA256);
    XAtomic<bool> run{false};
    XAtomic<int> percent{0};
    std::atomic<bool> watching{false};
    std::thread canceller([&] {
        watching = true;
        zortest::waitUntil([&] { return percent.load() >= 10; });
        run.store(false);
    });
    // The calculation starts only once the canceller watches (starting a thread can take long on a
    // busy machine); it then has nine pauses to cancel in.
    while (!watching.load()) std::this_thread::yield();
    cs.calc(run, percent);
    canceller.join();
    CheckSum::setDebug(false);
    EXPECT_EQ(percent.load(), -1);
    EXPECT_TRUE(cs.is_cancelled());
    EXPECT_FALSE(static_cast<bool>(cs));
    EXPECT_TRUE(cs.get_checksum().isEmpty());
    EXPECT_EQ(cs.toString(), QStringLiteral("err:CANCELLED"));
    EXPECT_FALSE(run.load());
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::calc, cancelled, percent == -1")));

    // The same object hashes the whole file once set up again.
    cs.set_file(QFileInfo(path));
    cs.calc(run, percent);
    EXPECT_EQ(percent.load(), 100);
    EXPECT_EQ(cs.get_checksum(), QCryptographicHash::hash(pattern(1 << 20), QCryptographicHash::Sha256));
}

TEST(CheckSum, MissingFilesUnknownAlgosAndNoHash) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing"));
    const CheckSum none = CheckSum::get_checksum(missing, ALGO::SHA1);
    EXPECT_TRUE(none.is_error(ERR::FILE_NOT_EXIST));
    EXPECT_EQ(none.get_text(), QStringLiteral("file-not-exists"));
    EXPECT_EQ(none.toString(), QStringLiteral("err:FILE_NOT_EXIST"));
    EXPECT_TRUE(CheckSum::get_checksum(dir.path(), ALGO::MD5).is_error(ERR::FILE_NOT_EXIST)) << "a directory";
    const CheckSum unsupported = CheckSum::get_checksum(missing, static_cast<ALGO>(7));
    EXPECT_EQ(unsupported.get_text(), QStringLiteral("ALGO-NOT-SUPPORTED"));
    EXPECT_TRUE(unsupported.get_checksum().isEmpty());

    CheckSum mapFails(QFileInfo(missing), ALGO::MD5);
    XAtomic<bool> run{true};
    XAtomic<int> percent{0};
    mapFails.calc(run, percent);
    EXPECT_FALSE(run.load());
    EXPECT_FALSE(static_cast<bool>(mapFails));

    // The value 7 names no algorithm: a warning, then MD5.
    const QString abc = writeFile(dir, QStringLiteral("abc"), "abc");
    CheckSum seven(QFileInfo(abc), static_cast<ALGO>(7));
    EXPECT_EQ(seven.get_algo(), ALGO::MD5);
    seven.calc(run, percent);
    EXPECT_EQ(seven.toString(), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));

    CheckSum noAlgo;
    EXPECT_TRUE(static_cast<bool>(noAlgo) == false);
    noAlgo.set_file(QFileInfo(abc));
    noAlgo.calc(run, percent);
    EXPECT_TRUE(noAlgo.is_error(ERR::ALGO_NO_DEFINED));
    EXPECT_FALSE(run.load());

    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::get_checksum, problems with File <<<") + missing +
                                 QStringLiteral(">>> exist ?")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::calc, problems mapping file")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::map_algo, algo ???? - set to MD5")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::set_file, algo == ALGO::NOT_DEFINED")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("CheckSum::calc, pHash == nullptr")));
}
