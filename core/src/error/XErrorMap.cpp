#include <zor/XErrorMap.h>

#include <zor/Logger.h>
#include <zor/xformat.h>

#include <cstdio>

namespace zor {

std::map<unsigned int, QString>* XErrorMap::mapError = nullptr;

XErrorMap::~XErrorMap() = default;

std::map<unsigned int, QString>* XErrorMap::checkMap() {
    if (mapError == nullptr) mapError = new std::map<unsigned int, QString>;
    return mapError;
}

void XErrorMap::addError(unsigned int code, const QString& text) {
    auto* map = checkMap();
    if (map->find(code) != map->end()) {
        std::printf("XErrorMap::addError, key already present, key:%u\n", code);
        std::fflush(stdout);
        return;
    }
    (*map)[code] = text;
}

bool XErrorMap::containsError(unsigned int code) { return checkMap()->count(code) != 0; }

QString XErrorMap::getError(unsigned int code) {
    auto* map = checkMap();
    const auto it = map->find(code);
    if (it != map->end()) return it->second;
    return xformat("ZOR_ERROR_* {$} NOT DEFINED", code);
}

unsigned long long XErrorMap::size() { return checkMap()->size(); }

std::map<unsigned int, QString>& XErrorMap::mapErr() { return *checkMap(); }

void XErrorMap::showErrorMap(unsigned int space) {
    auto* map = checkMap();
    logDebugSpace(space, "XErrorMap - size():$", static_cast<unsigned long long>(map->size()));
    for (const auto& kv : *map) logDebugSpace(space, "$: '$'", kv.first, kv.second);
}

}  // namespace zor
