#include <zor/ZorResource.h>

#include <zor/Logger.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace zor {

namespace {
// The nearest folder named "zor" at or above the program's folder; empty at the root.
QString findZorDir(const char* notFound) {
    QDir dir(QCoreApplication::applicationDirPath());
    while (!dir.absolutePath().endsWith(QLatin1String("zor"))) {
        if (!dir.cdUp()) {
            logError(notFound);
            return QString();
        }
    }
    return dir.absolutePath();
}

QString readText(const QString& path) {
    logDebug("::ZorResource::load_thumb, absPath '$'", path);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        logDebug("::ZorResource::load_thumb,  problems reading strFile '$'", path);
        return QString();
    }
    return QString::fromUtf8(f.readAll());
}
}  // namespace

QString ZorResource::getZorSourcePath() { return findZorDir("ZorResource::getZorSourcePath - 'zor' path not found !"); }

QString ZorResource::getZorSourceDataPath() {
    const QString zor = findZorDir("ZorResource::getZorSourceDataPath - 'zor' path not found !");
    if (zor.isEmpty()) return QString();
    QDir dir(zor);
    if (!dir.cd(QStringLiteral("data"))) logError("ZorResource::getZorSourceDataPath - 'zor/data' path not found !");
    return dir.absolutePath();
}

QString ZorResource::buildZorPath(const QString& rel) { return getZorSourcePath() + QLatin1Char('/') + rel; }
QString ZorResource::buildZorDataPath(const QString& rel) { return getZorSourceDataPath() + QLatin1Char('/') + rel; }

QString ZorResource::load(const QString& rel) {
    logDebug("::ZorResource::load_thumb, relPath '$'", rel);
    return readText(buildZorPath(rel));
}

QString ZorResource::loadZorData(const QString& rel) {
    logDebug("::ZorResource::load_thumb, relPath '$'", rel);
    return readText(buildZorDataPath(rel));
}

}  // namespace zor
