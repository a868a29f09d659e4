#include <zor/ArgsEnv.h>
#include <zor/CommandLine.h>
#include <zor/Logger.h>
#include <zor/XRecord.h>

#include "platform/Platform.h"

#include <cerrno>
#include <cstdio>

namespace zor {

namespace {

void copyBlock(char* const* block, std::vector<std::string>& out) {
    out.clear();
    if (block == nullptr) return;
    for (char* const* p = block; *p != nullptr; ++p) out.emplace_back(*p);
}

std::string local8(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

ArgsEnv::ArgsEnv() { rebuildPointers(); }
ArgsEnv::~ArgsEnv() = default;

ArgsEnv::ArgsEnv(const ArgsEnv& other) : m_args(other.m_args), m_env(other.m_env) { rebuildPointers(); }

ArgsEnv::ArgsEnv(ArgsEnv&& other) noexcept : m_args(std::move(other.m_args)), m_env(std::move(other.m_env)) {
    // Moving a std::string may move its characters (short strings live inside it): point anew.
    rebuildPointers();
    other.m_args.clear();
    other.m_env.clear();
    other.rebuildPointers();
}

ArgsEnv& ArgsEnv::operator=(const ArgsEnv& other) {
    if (this != &other) {
        m_args = other.m_args;
        m_env = other.m_env;
        rebuildPointers();
    }
    return *this;
}

ArgsEnv& ArgsEnv::operator=(ArgsEnv&& other) noexcept {
    if (this != &other) {
        m_args = std::move(other.m_args);
        m_env = std::move(other.m_env);
        rebuildPointers();
        other.m_args.clear();
        other.m_env.clear();
        other.rebuildPointers();
    }
    return *this;
}

void ArgsEnv::rebuildPointers() {
    m_argPtrs.clear();
    for (std::string& s : m_args) m_argPtrs.push_back(&s[0]);
    m_argPtrs.push_back(nullptr);
    m_envPtrs.clear();
    for (std::string& s : m_env) m_envPtrs.push_back(&s[0]);
    m_envPtrs.push_back(nullptr);
}

void ArgsEnv::fromMain(int argc, char* const argv[], char* const env[]) {
    m_args.clear();
    if (argv != nullptr) {
        for (int i = 0; i < argc; ++i) m_args.emplace_back(argv[i] != nullptr ? argv[i] : "");
    }
    copyBlock(env != nullptr ? env : platform::environmentBlock(), m_env);
    rebuildPointers();
}

void ArgsEnv::fromCommandLine(const CommandLine& cmd, bool withEnvironment) {
    m_args.clear();
    m_args.push_back(local8(cmd.getProgram()));
    if (cmd.hasCommand()) m_args.push_back(local8(cmd.getCommand()));
    for (const CommandLineItem& item : cmd.getItems()) {
        m_args.push_back("--" + local8(item.key()));
        if (!item.value().isEmpty()) m_args.push_back(local8(item.value()));
    }
    if (withEnvironment) copyBlock(platform::environmentBlock(), m_env);
    else m_env.clear();
    rebuildPointers();
}

void ArgsEnv::fromRecord(const XRecord& record) {
    m_args.clear();
    const auto& attributes = record.getAttributes();
    const auto name = attributes.find(QStringLiteral("name"));
    m_args.push_back(name == attributes.end() ? std::string() : local8(name->second));
    for (const auto& kv : attributes) {
        if (kv.first == QLatin1String("name")) continue;
        m_args.push_back("--" + local8(kv.first));
        m_args.push_back(local8(kv.second));
    }
    copyBlock(platform::environmentBlock(), m_env);
    rebuildPointers();
}

QString ArgsEnv::arg(int i) const {
    if (i < 0 || i >= getArgc()) return QString();
    return QString::fromLocal8Bit(m_args[static_cast<std::size_t>(i)].c_str());
}

void ArgsEnv::show(unsigned int level) const {
    detail::logAt(level, 0, "ArgsEnv::showInfo");
    if (isEmpty()) {
        detail::logAt(level, 0, "ArgsEnv is *EMPTY*");
        return;
    }
    detail::logAt(level, 0, "argc:$", getArgc());
    for (std::size_t i = 0; i < m_args.size(); ++i) detail::logAt(level, 0, "argv[$] '$'", i, m_args[i].c_str());
    detail::logAt(level, 0, "env variables:$", getEnvCount());
    for (std::size_t i = 0; i < m_env.size(); ++i) detail::logAt(level, 0, "env[$] '$'", i, m_env[i].c_str());
}

void ArgsEnv::showArgsOnly(unsigned int level) const {
    if (m_args.empty()) {
        detail::logAt(level, 0, "ArgsEnv - no args");
        return;
    }
    detail::logAt(level, 0, "argc:$", getArgc());
    for (std::size_t i = 0; i < m_args.size(); ++i) detail::logAt(level, 0, "argv[$] '$'", i, m_args[i].c_str());
}

void ArgsEnv::showCout() const {
    if (isEmpty()) {
        std::printf("ArgsEnv is *EMPTY*\n");
    } else {
        std::printf("argc:%d\n", getArgc());
        for (std::size_t i = 0; i < m_args.size(); ++i) std::printf("    argv[%d] '%s'\n", static_cast<int>(i), m_args[i].c_str());
        std::printf("env variables:%d\n", getEnvCount());
        for (std::size_t i = 0; i < m_env.size(); ++i) std::printf("    env[%d] '%s'\n", static_cast<int>(i), m_env[i].c_str());
    }
    std::fflush(stdout);
}

void ArgsEnv::startProgram() { logInfo("ArgsEnv::startProgram"); }

int ArgsEnv::restartProgram() {
    int err = 0;
    const char* path = m_args.empty() ? "" : m_args[0].c_str();
    const int rc = platform::execProgram(path, m_argPtrs.data(), m_envPtrs.data(), &err);
    std::printf("ArgsEnv::restartProgram, result of execv:%d\n", rc);
    std::printf("ArgsEnv::restartProgram, errno:%d\n", err);
    for (std::size_t i = 0; i < m_args.size() && i < 3; ++i) std::printf(">>>%s<<<\n", m_args[i].c_str());
    std::fflush(stdout);
    errno = err;
    std::perror("ArgsEnv::restartProgram");
    return rc;
}

}  // namespace zor
