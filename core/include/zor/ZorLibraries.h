#pragma once
/// \zclass{ZorLibraries,global} The process-wide registry of library ids. Every log level word carries the id of the
/// library that logged it in bits 16 and up. Meant for static initialisation and start-up (no lock).
#include <zor/zor_export.h>

#include <QByteArray>
#include <unordered_map>

namespace zor {

constexpr unsigned int CORE_LIB_ID = 100;
constexpr unsigned int CORE_LIB_LEVEL_BITS = CORE_LIB_ID << 16;  ///< 0x640000, ORed into every level

class ZOR_EXPORT ZorLibraries {
public:
    /// Registers or renames a library; names above 128 bytes are refused with a console line.
    static void addLib(unsigned int id, const char* libName);
    /// The name padded to the longest registered name ("TBZ*"), or "UN-KN:<id>". The padded names
    /// are frozen at the first call; the "UN-KN" text lives in one buffer, valid until the next
    /// unknown lookup.
    static const char* libNameByIdent(unsigned int id);
    static bool isRegistryFilled();

private:
    static std::unordered_map<unsigned int, QByteArray>& names();
    static std::unordered_map<unsigned int, QByteArray>& paddedNames();
    static bool s_paddedBuilt;
    static bool s_filled;
    static char s_unknown[32];
    friend struct ZorLibrariesRegistration;
};

ZOR_EXPORT unsigned int getLibraryID(unsigned int levelWord);
ZOR_EXPORT const char* getLibraryName(unsigned int levelWord);

}  // namespace zor
