#include <zor/LogLevel.h>

#include <cstring>

namespace zor {

const char* logLevelToString(unsigned int level) {
    if (level & TEST) return "TEST#";
    if (level & DEBUG) return "DEBUG";
    if (level & FATAL) return "FATAL";
    if (level & XERROR) return "ERROR";
    if (level & INFO) return "INFO#";
    if (level & WARNING) return "WARN#";
    if (level & COMMAND) return "CMD##";
    if (level & XSTATE) return "STATE";
    if (level & XSEND) return ">>SND";
    if (level & XEVENT) return "EVENT";
    if (level & DESTRUCT) return "~DEST";
    if (level & XRECEIVE) return "<<REC";
    return "";
}

const char* logLevelToStringAllBits(unsigned int level) {
    static const char* const names[] = {"FATAL", "XERROR", "WARNING", "INFO", "DEBUG", "TEST",
                                        "COMMAND", "XSEND", "XRECEIVE", "XEVENT", "XSTATE", "DESTRUCT"};
    thread_local char buffer[1024];
    buffer[0] = '\0';
    for (unsigned int i = 0; i < 12; ++i) {
        if (level & (0x2u << i)) {
            std::strcat(buffer, " | ");
            std::strcat(buffer, names[i]);
        }
    }
    if (level == 0) std::strcat(buffer, "ZERO");
    if (buffer[0] == '\0') std::strcpy(buffer, "LEVEL???");
    return buffer;
}

unsigned int mapToLogLevelFlags(unsigned int simpleLevel) {
    switch (simpleLevel) {
        case 1: return 0x1B86;
        case 2: return 0x1B8E;
        case 3: return 0x1F9E;
        case 4: return 0x1FDE;
        default: return 0x1FFE;
    }
}

}  // namespace zor
