#include <zor/Environment.h>

#include "platform/Platform.h"

#include <QProcessEnvironment>
#include <cstdlib>

namespace zor {

QString getEnv(const QString& name) {
    const char* v = std::getenv(name.toUtf8().constData());
    if (v == nullptr) return QString();
    QString s = QString::fromLocal8Bit(v);
    s.remove(QLatin1Char('"'));
    return s;
}

bool hasEnv(const QString& name) { return !getEnv(name).isEmpty(); }

bool isEnv(const QString& name) {
    const QString v = getEnv(name);
    return v == QLatin1String("true") || v == QLatin1String("1") || v == QLatin1String("TRUE") ||
           v == QLatin1String("True");
}

void setEnv(const QString& name, const QString& value) {
    platform::setEnvironment(name.toLatin1().constData(), value.toLatin1().constData());
}

std::map<QString, QString> getEnvironmentMap() {
    std::map<QString, QString> map;
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& key : env.keys()) map[key] = env.value(key);
    return map;
}

bool is_running_inside_VM() {
    const char* v = std::getenv("ZORVM");
    if (v == nullptr) return false;
    const QString s = QString::fromLocal8Bit(v).toLower();
    return s == QLatin1String("1") || s == QLatin1String("true") || s == QLatin1String("on");
}

QString getOSVersion() { return platform::osVersion(); }

}  // namespace zor
