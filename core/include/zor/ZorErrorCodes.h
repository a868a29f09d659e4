#pragma once
/// \zfile{error} Library error codes (carried in the high half of an XError word), program exit codes and the
/// program-ending helpers.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

constexpr unsigned short ZOR_ERROR_CANNOT_READ_RESOURCE = 100;
constexpr unsigned short ZOR_ERROR_TIMEOUT = 110;
constexpr unsigned short ZOR_ERROR_BUFFER_EMPTY = 120;
constexpr unsigned short ZOR_ERROR_NOT_INITIALIZED = 130;
constexpr unsigned short ZOR_ERROR_OUT_OF_RANGE = 140;
constexpr unsigned short ZOR_ERROR_TRUNCATE = 150;
constexpr unsigned short ZOR_ERROR_EOF = 160;
constexpr unsigned short ZOR_ERROR_NUMBER_TOO_BIG = 170;

/// Program exit codes.
enum ZOR_EXIT_CODE : int {
    EXIT_ZOR_OK = 0,
    EXIT_ZOR_GENERAL_FAILURE = 1,
    EXIT_ZOR_CONFIGURATION = 2,
    EXIT_ZOR_MATH = 3,
    EXIT_ZOR_FILE_NOT_FOUND = 4,
    EXIT_ZOR_IO = 5,
    EXIT_ZOR_ARGUMENT = 6,
    EXIT_ZOR_XML = 7,
    EXIT_ZOR_QUIT_GUI = 8,
    EXIT_ZOR_PARSING = 9,
    EXIT_ZOR_CHECKSUM = 10,
    EXIT_ZOR_HELP = 20,
    EXIT_ZOR_MAIN_HELPER = 30,
};

ZOR_EXPORT QString exitZorErrorCodeToString(int code);

/// Logs message at XERROR, counts down the seconds at WARNING ("program end 3 sec"), stops the
/// logger and ends the process with exit code 1.
[[noreturn]] ZOR_EXPORT void exitApp(const QString& message, unsigned int seconds);

/// "ERRNO == 0", or the last error of the socket layer (here: errno) as "WSAGetLastError:<n>".
ZOR_EXPORT QString getLastErrorMessage();
/// "errno:<n> => <getLastErrorMessage()>".
ZOR_EXPORT QString get_last_error_message();

}  // namespace zor
