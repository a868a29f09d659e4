#pragma once
/// \zfile{global} Environment switches of the process.
#include <zor/zor_export.h>

#include <QString>
#include <map>

namespace zor {

/// The variable's value with every double quote dropped; empty when unset.
ZOR_EXPORT QString getEnv(const QString& name);
ZOR_EXPORT bool hasEnv(const QString& name);  ///< set and not empty
ZOR_EXPORT bool isEnv(const QString& name);   ///< exactly "true", "1", "TRUE" or "True"
ZOR_EXPORT void setEnv(const QString& name, const QString& value);
ZOR_EXPORT std::map<QString, QString> getEnvironmentMap();
/// ZORVM set to "1", "true" or "on" (any case): the program runs inside a virtual machine.
ZOR_EXPORT bool is_running_inside_VM();
/// A one-line description of the operating system (empty when unknown).
ZOR_EXPORT QString getOSVersion();

}  // namespace zor
