#include <zor/ZorLibraries.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/ZorVersion.h>
#include <zor/xformat.h>

#include <cstdio>
#include <cstring>

namespace zor {

bool ZorLibraries::s_paddedBuilt = false;
bool ZorLibraries::s_filled = false;
char ZorLibraries::s_unknown[32] = {};

std::unordered_map<unsigned int, QByteArray>& ZorLibraries::names() {
    static std::unordered_map<unsigned int, QByteArray> map;
    return map;
}

std::unordered_map<unsigned int, QByteArray>& ZorLibraries::paddedNames() {
    static std::unordered_map<unsigned int, QByteArray> map;
    return map;
}

void ZorLibraries::addLib(unsigned int id, const char* libName) {
    if (libName == nullptr) nullPointerHandling("libSrc/core/src/ZorLibraries", 41, QStringLiteral("libName == NULL"));
    if (std::strlen(libName) > 128) {
        Logger::printToCout("ZorLibraries::addLib, libName.length() > 128 bytes !");
        return;
    }
    auto& map = names();
    if (map.find(id) != map.end()) Logger::printToCout(xformat("ZorLibraries::addLib '$' already present !", libName));
    map[id] = QByteArray(libName);
}

const char* ZorLibraries::libNameByIdent(unsigned int id) {
    auto& padded = paddedNames();
    if (!s_paddedBuilt) {
        s_paddedBuilt = true;
        int longest = 0;
        for (const auto& kv : names()) longest = std::max(longest, kv.second.size());
        for (const auto& kv : names()) {
            QByteArray p = kv.second;
            const int n = p.size();
            if (n < longest - 1) p.append(QByteArray(longest - 1 - n, ' '));
            if (n < longest) p.append('*');
            padded[kv.first] = p;
        }
    }
    const auto it = padded.find(id);
    if (it != padded.end()) return it->second.constData();
    std::snprintf(s_unknown, sizeof s_unknown, "UN-KN:%d", static_cast<int>(id));
    return s_unknown;
}

bool ZorLibraries::isRegistryFilled() { return s_filled; }

// Registers the engine's libraries when this library is loaded.
struct ZorLibrariesRegistration {
    ZorLibrariesRegistration() {
        ZorLibraries::addLib(CORE_LIB_ID, "CORE");
        ZorLibraries::addLib(200, "VIEW");
        ZorLibraries::addLib(300, "TBZ");
        ZorLibraries::addLib(400, "OPTC");
        ZorLibraries::addLib(500, "WPK");
        ZorLibraries::addLib(1000, "APPL");
        ZorLibraries::s_filled = true;
    }
};
static ZorLibrariesRegistration s_registration;

unsigned int getLibraryID(unsigned int levelWord) { return levelWord >> 16; }

const char* getLibraryName(unsigned int levelWord) { return ZorVersion::getZorLibName(levelWord >> 16); }

}  // namespace zor
