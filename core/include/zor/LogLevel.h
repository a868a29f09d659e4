#pragma once
/// \zfile{log} Log levels. A level word holds level flags in bits 1-12 and the id of the library that logged in
/// bits 16 and up (this library ORs in 0x640000).
#include <zor/zor_export.h>

namespace zor {

enum LOG_LEVEL : unsigned int {
    FATAL = 0x2,
    XERROR = 0x4,
    WARNING = 0x8,
    INFO = 0x10,
    DEBUG = 0x20,
    TEST = 0x40,
    COMMAND = 0x80,
    XSEND = 0x100,
    XRECEIVE = 0x200,
    XEVENT = 0x400,
    XSTATE = 0x800,
    DESTRUCT = 0x1000,
};

constexpr unsigned int LOG_LEVEL_ALL = 0x1FFE;  ///< all twelve flags: the default mask

/// Coarse levels for setLogLevelSimple / mapToLogLevelFlags; any other value lets everything pass.
enum SIMPLE_LOG_LEVEL : unsigned int {
    SIMPLE_ERRORS = 1,      ///< 0x1B86: FATAL, XERROR, COMMAND, XSEND, XRECEIVE, XSTATE, DESTRUCT
    SIMPLE_WARNINGS = 2,    ///< 0x1B8E: the above and WARNING
    SIMPLE_INFO = 3,        ///< 0x1F9E: the above and INFO, XEVENT
    SIMPLE_NO_DEBUG = 4,    ///< 0x1FDE: all but DEBUG
    SIMPLE_ALL = 5,         ///< 0x1FFE
};

/// The tag of the first flag set, by priority: "TEST#", "DEBUG", "FATAL", "ERROR", "INFO#", "WARN#",
/// "CMD##", "STATE", ">>SND", "EVENT", "~DEST", "<<REC"; "" when none.
ZOR_EXPORT const char* logLevelToString(unsigned int level);
/// " | FATAL | INFO" for every flag set, "ZERO" for 0, "LEVEL???" when no flag is set. The text lives
/// in one buffer per thread, valid until the thread's next call.
ZOR_EXPORT const char* logLevelToStringAllBits(unsigned int level);
ZOR_EXPORT unsigned int mapToLogLevelFlags(unsigned int simpleLevel);

}  // namespace zor
