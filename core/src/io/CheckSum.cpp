#include <zor/CheckSum.h>

#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/ThreadTools.h>
#include <zor/XFileMapper.h>

#include <QFile>
#include <algorithm>
#include <atomic>
#include <vector>

#include <openssl/evp.h>

namespace zor {

namespace {

std::atomic<bool> debugFlag{false};

const EVP_MD* digestOf(CheckSum::ALGO a) {
    switch (a) {
        case CheckSum::ALGO::SHA1: return EVP_sha1();
        case CheckSum::ALGO::SHA256: return EVP_sha256();
        default: return EVP_md5();
    }
}

bool knownAlgo(CheckSum::ALGO a) {
    return a == CheckSum::ALGO::MD5 || a == CheckSum::ALGO::SHA1 || a == CheckSum::ALGO::SHA256;
}

}  // namespace

// One digest in progress. A failed EVP call marks it broken: the result is then empty.
struct CheckSum::Hash {
    EVP_MD_CTX* ctx = nullptr;
    const EVP_MD* md = nullptr;
    bool ok = false;

    explicit Hash(const EVP_MD* m) : ctx(EVP_MD_CTX_new()), md(m) { restart(); }
    Hash(const Hash& other) : ctx(EVP_MD_CTX_new()), md(other.md) {
        ok = ctx != nullptr && other.ok && EVP_MD_CTX_copy_ex(ctx, other.ctx) == 1;
    }
    Hash& operator=(const Hash&) = delete;
    ~Hash() { EVP_MD_CTX_free(ctx); }

    void restart() { ok = ctx != nullptr && EVP_DigestInit_ex(ctx, md, nullptr) == 1; }
    void add(const char* p, std::size_t n) {
        if (ok && n > 0) ok = EVP_DigestUpdate(ctx, p, n) == 1;
    }
    // The digest; the hash is started anew so that the object can be used again.
    QByteArray result() {
        unsigned char out[EVP_MAX_MD_SIZE];
        unsigned int len = 0;
        QByteArray digest;
        if (ok && EVP_DigestFinal_ex(ctx, out, &len) == 1)
            digest = QByteArray(reinterpret_cast<const char*>(out), static_cast<int>(len));
        restart();
        return digest;
    }
};

CheckSum::CheckSum() {
    timeStart = getMicroseconds();
    timeEnd = timeStart;
}

CheckSum::CheckSum(const QFileInfo& f, ALGO a) : CheckSum() { set_file_algo(f, a); }

CheckSum::CheckSum(const CheckSum& other)
    : timeStart(other.timeStart), timeEnd(other.timeEnd), hash(other.hash ? new Hash(*other.hash) : nullptr),
      file(other.file), algo(other.algo), checksum(other.checksum), err(other.err), text(other.text) {}

CheckSum& CheckSum::operator=(const CheckSum& other) {
    if (this == &other) return *this;
    CheckSum copy(other);
    timeStart = copy.timeStart;
    timeEnd = copy.timeEnd;
    hash = std::move(copy.hash);
    file = copy.file;
    algo = copy.algo;
    checksum = copy.checksum;
    err = copy.err;
    text = copy.text;
    return *this;
}

CheckSum::~CheckSum() = default;

void CheckSum::setDebug(bool on) { debugFlag.store(on); }
bool CheckSum::isDebug() { return debugFlag.load(); }

void CheckSum::startHash(ALGO a) {
    if (!knownAlgo(a)) {
        logWarning("CheckSum::map_algo, algo ???? - set to MD5");
        a = ALGO::MD5;
    }
    hash.reset(new Hash(digestOf(a)));
    algo = a;
}

void CheckSum::set_file_algo(const QFileInfo& f, ALGO a) {
    if (err == ERR::STILL_CALCULATING) logWarning("CheckSum::set_file_algo, <<<$>>> err == ERR::UNFINIHED", file.filePath());
    hash.reset();
    startHash(a);
    err = ERR::STILL_CALCULATING;
    timeStart = getMicroseconds();
    file = f;
    checksum.clear();
}

void CheckSum::set_file(const QFileInfo& f) {
    if (algo == ALGO::NOT_DEFINED) {
        logError("CheckSum::set_file, algo == ALGO::NOT_DEFINED");
        hash.reset();
        file = f;
        return;
    }
    set_file_algo(f, algo);
}

CheckSum::operator bool() const { return err == ERR::NO_ERROR && algo != ALGO::NOT_DEFINED; }

void CheckSum::reset() {
    err = ERR::NO_ERROR;
    if (hash) hash->restart();
}

void CheckSum::calc(XAtomic<bool>& run, XAtomic<int>& percent) {
    if (!hash) {
        logError("CheckSum::calc, pHash == nullptr");
        err = ERR::ALGO_NO_DEFINED;
        run.store(false);
        return;
    }
    run.store(true);
    percent.store(0);
    timeStart = getMicroseconds();
    timeEnd = timeStart;
    const bool debug = isDebug();
    if (err != ERR::NO_ERROR && err != ERR::STILL_CALCULATING)
        logDebug("CheckSum::calc, err != ERR::STILL_CALCULATING, err:$", err_to_string(err));

    XFileMapper map(file.filePath());
    map.setSequential(true);  // one pass front to back: read ahead and pre-fault
    const bool opened = map.mapReadOnly();
    const std::size_t len = opened ? map.length() : 0;
    const char* p = len > 0 ? map.mem() : nullptr;
    if (!opened || (len > 0 && p == nullptr)) {
        logError("CheckSum::calc, problems mapping file");
        err = ERR::FILE_OPEN;
        run.store(false);
        timeEnd = getMicroseconds();
        return;
    }
    if (debug) logDebug("CheckSum::calc, <<<$>>>, algo:$, len:$", file.filePath(), algo_as_string(),
                        format1000(static_cast<long long>(len)));

    std::size_t done = 0;
    unsigned long long countBlocks = 0;
    int lastTenth = 0;
    while (run.load(std::memory_order_relaxed) && done < len) {
        // A file shortened by another process while mapped would fault past its new end.
        const std::size_t now = map.length();
        if (now <= done) break;
        const std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(kBlockSize), len - done, now - done});
        hash->add(p + done, n);
        done += n;
        ++countBlocks;
        const int pc = static_cast<int>(static_cast<unsigned long long>(done) * 100ULL / len);
        percent.store(pc, std::memory_order_relaxed);
        if (debug && pc / 10 != lastTenth) {
            lastTenth = pc / 10;
            logDebugSpace(4, "CheckSum::calc, step:$", pc);
            xSleep(200);
        }
    }

    if (!run.load()) {
        logDebug("CheckSum::calc, cancelled, percent == -1");
        percent.store(-1);
        err = ERR::CANCELLED;
        hash->restart();
    } else if (done < len || !hash->ok) {
        logError("CheckSum::calc, <<<$>>> shrank or could not be hashed after $ bytes", file.filePath(),
                 static_cast<unsigned long long>(done));
        err = ERR::CALCULATION;
        hash->restart();
    } else {
        checksum = hash->result();
        percent.store(100);
        err = ERR::NO_ERROR;
    }
    if (debug) {
        logDebug("CheckSum::calc, atomicRun:$", run.load());
        logDebug("CheckSum::calc, countBlocks:$", countBlocks);
        logDebug("CheckSum::calc, crc:$", toString(true));
        logDebug("CheckSum::~calc, err:$", err_to_string(err));
    }
    run.store(false);
    timeEnd = getMicroseconds();
}

CheckSum CheckSum::get_checksum(const QString& name, ALGO a) { return get_checksum(QFileInfo(name), a); }

CheckSum CheckSum::get_checksum(const QFileInfo& f, ALGO a) {
    CheckSum cs;
    cs.file = f;
    cs.algo = a;
    if (!knownAlgo(a)) {
        cs.text = QStringLiteral("ALGO-NOT-SUPPORTED");
        cs.err = ERR::ALGO_NO_DEFINED;
        logError("CheckSum::get_checksum, algo $ is not supported", static_cast<int>(a));
        return cs;
    }
    const QString path = f.filePath();
    if (!f.exists() || f.isDir()) {
        cs.text = QStringLiteral("file-not-exists");
        cs.err = ERR::FILE_NOT_EXIST;
        logError("CheckSum::get_checksum, problems with File <<<$>>> exist ?", path);
        return cs;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        cs.text = QStringLiteral("file-open-error");
        cs.err = ERR::FILE_OPEN;
        logError("CheckSum::get_checksum, problems with open <<<$>>>", path);
        return cs;
    }
    Hash h(digestOf(a));
    std::vector<char> buf(1 << 20);
    bool readOk = true;
    for (;;) {
        const qint64 r = in.read(buf.data(), static_cast<qint64>(buf.size()));
        if (r < 0) readOk = false;
        if (r <= 0) break;
        h.add(buf.data(), static_cast<std::size_t>(r));
    }
    QByteArray digest = readOk ? h.result() : QByteArray();
    if (digest.isEmpty()) {
        cs.text = QStringLiteral("checksum-calc-error");
        cs.err = ERR::CALCULATION;
        logError("CheckSum::get_checksum, problems with CRC <<<$>>>", path);
        return cs;
    }
    cs.checksum = digest;
    cs.err = ERR::NO_ERROR;
    cs.timeEnd = getMicroseconds();
    return cs;
}

QString CheckSum::toString(bool upper) const {
    if (err != ERR::NO_ERROR || algo == ALGO::NOT_DEFINED) return QStringLiteral("err:") + err_to_string(err);
    const QString hex = QString::fromLatin1(checksum.toHex());
    return upper ? hex.toUpper() : hex;
}

QString CheckSum::toStringFull(bool upper) const {
    return algo_as_string() + QLatin1Char(' ') + toString(upper) + QStringLiteral(" '") + file.filePath() +
           QStringLiteral("' err:") + err_to_string(err) + QStringLiteral(" elapsed:") +
           QString::number(get_elapsed_time()) + QStringLiteral(" us");
}

QString CheckSum::algo_to_string(ALGO a) {
    switch (a) {
        case ALGO::NOT_DEFINED: return QStringLiteral("NOT_DEFINED");
        case ALGO::MD5: return QStringLiteral("MD5");
        case ALGO::SHA1: return QStringLiteral("SHA1");
        case ALGO::SHA256: return QStringLiteral("SHA256");
    }
    return QStringLiteral("unknown-algo");
}

QString CheckSum::err_to_string(ERR e) {
    switch (e) {
        case ERR::NO_ERROR: return QStringLiteral("NO_ERROR");
        case ERR::ALGO_NO_DEFINED: return QStringLiteral("ALGO_NO_DEFINED");
        case ERR::STILL_CALCULATING: return QStringLiteral("STILL_CALCULATING");
        case ERR::CANCELLED: return QStringLiteral("CANCELLED");
        case ERR::FILE_NOT_EXIST: return QStringLiteral("FILE_NOT_EXIST");
        case ERR::FILE_OPEN: return QStringLiteral("FILE_OPEN");
        case ERR::CALCULATION: return QStringLiteral("CALCULATION");
    }
    return QStringLiteral("unknown-err");
}

}  // namespace zor
