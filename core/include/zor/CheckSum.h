#pragma once
/// \zclass{CheckSum,hash} The MD5, SHA-1 or SHA-256 checksum of a file, in one call (get_checksum) or block by
/// block over the mapped file (calc) with a progress percentage and cancellation from another
/// thread. The outcome is an ERR value; the digest is the raw bytes (toString renders it in hex).
///
/// The digests are computed by the system's OpenSSL libcrypto (EVP), which the library links
/// privately: Qt's QCryptographicHash gives the same digests, but its portable SHA-1 and SHA-256
/// run at a fraction of the speed of md5sum/sha1sum/sha256sum on the same files (see
/// bench/checksum.cpp).
///
/// calc() runs in one thread while another reads `percent` and may clear `run` to cancel; both
/// atomics belong to the caller. The object itself is not locked and belongs to the calculating
/// thread until calc returns. Copies carry the hash in progress. The process-wide debug flag
/// (setDebug) adds trace lines and slows calc down on purpose (200 ms at every tenth of the file).
#include <zor/XAtomic.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <memory>

namespace zor {

class ZOR_EXPORT CheckSum {
public:
    enum class ALGO : int { NOT_DEFINED = 0, MD5 = 1, SHA1 = 2, SHA256 = 3 };
    enum class ERR : int {
        NO_ERROR = 0,
        ALGO_NO_DEFINED = 1,
        STILL_CALCULATING = 2,
        CANCELLED = 3,
        FILE_NOT_EXIST = 4,
        FILE_OPEN = 5,
        CALCULATION = 6
    };
    static constexpr int kBlockSize = 65536;  ///< bytes hashed between two looks at `run`

    CheckSum();
    CheckSum(const QFileInfo& file, ALGO algo);
    CheckSum(const CheckSum& other);
    CheckSum& operator=(const CheckSum& other);
    virtual ~CheckSum();

    /// A new hash for algo (an unknown value: a warning and MD5), err STILL_CALCULATING.
    void set_file_algo(const QFileInfo& file, ALGO algo);
    void set_file(const QFileInfo& file);  ///< with the stored algorithm; NOT_DEFINED: an error, no hash
    void set_algo(ALGO a) { algo = a; }
    ALGO get_algo() const { return algo; }
    QString algo_as_string() const { return algo_to_string(algo); }
    const QFileInfo& get_file() const { return file; }
    const QByteArray& get_checksum() const { return checksum; }  ///< the raw digest
    ERR get_error() const { return err; }
    bool is_error(ERR e) const { return err == e; }
    bool is_cancelled() const { return err == ERR::CANCELLED; }
    const QString& get_text() const { return text; }  ///< the short error text of get_checksum
    unsigned long long get_elapsed_time() const { return timeEnd - timeStart; }  ///< microseconds
    explicit operator bool() const;
    void reset();  ///< err NO_ERROR and the hash restarted

    /// Hashes the mapped file in kBlockSize blocks while run is true; percent goes 0..100, or -1
    /// when run was cleared (err CANCELLED). Sets run true at the start and false at the end.
    void calc(XAtomic<bool>& run, XAtomic<int>& percent);

    /// The whole file in one call; the result carries digest, err, text and times.
    static CheckSum get_checksum(const QString& name, ALGO algo);
    static CheckSum get_checksum(const QFileInfo& file, ALGO algo);

    /// The digest in hex (upper case when upper) when finished without error, else "err:<name>".
    QString toString(bool upper = false) const;
    /// "<algo> <toString> '<file>' err:<name> elapsed:<us> us" on one line.
    QString toStringFull(bool upper = false) const;

    static QString algo_to_string(ALGO a);  ///< the enumerator's name, "unknown-algo" otherwise
    static QString err_to_string(ERR e);    ///< the enumerator's name, "unknown-err" otherwise
    static void setDebug(bool on);
    static bool isDebug();

private:
    struct Hash;
    void startHash(ALGO a);

    unsigned long long timeStart = 0;
    unsigned long long timeEnd = 0;
    std::unique_ptr<Hash> hash;  // owned; null when no algorithm is set
    QFileInfo file;
    ALGO algo = ALGO::NOT_DEFINED;
    QByteArray checksum;
    ERR err = ERR::NO_ERROR;
    QString text;
};

}  // namespace zor
