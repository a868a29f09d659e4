#include <zor/ZorVersion.h>

#include <zor/ZorLibraries.h>

namespace zor {

namespace {
const char* const kVersion = "1.40.18";
const char* const kVersionSuffix = "";
const char* const kBuildDate = __DATE__;
const char* const kBuildTime = __TIME__;
}  // namespace

std::function<const char*(unsigned int)> ZorVersion::getZorLibName = &ZorLibraries::libNameByIdent;

QString ZorVersion::getVersion() {
    QString v = QString::fromLatin1(kVersion);
    if (*kVersionSuffix != '\0') v += QString::fromLatin1(kVersionSuffix);
    return v;
}

double ZorVersion::getVersionNumber() { return 1.4018; }

QString ZorVersion::getTimestamp_Date() { return QString::fromLatin1(kBuildDate); }

QString ZorVersion::getTimestamp_Time() { return QString::fromLatin1(kBuildTime); }

QString ZorVersion::all() {
    return QStringLiteral("zor ") + QString::fromLatin1(kVersion) + QLatin1Char(' ') + getTimestamp_Date() +
           QLatin1Char(' ') + getTimestamp_Time();
}

}  // namespace zor
