#pragma once

#include <cstdio>

#include "Manager.h"

namespace ks {

const char* const LOGFILE_NAME = "Kestrane Log.log";

/// LogManager: writes one line per writeLog call to "Kestrane Log.log" in the
/// working directory. Every line is " Message : " + the formatted text + "\n".
///
/// @code
/// LogManager &log = LogManager::getInstance();
/// log.startUp();                       // truncates the file
/// log.writeLog("loaded %d sprites", n);
/// @endcode
class LogManager : public Manager
{
public:
    /// The one LogManager, made on first use.
    static LogManager& getInstance();

    /// Closes the file if it is still open.
    ~LogManager() override;

    /// Opens (creating or truncating) the log file. 0 on success, -1 if it could not be opened.
    int startUp() override;

    /// Closes the log file if open; a second call does nothing more.
    void shutDown() override;

    /// When true (the default) the file is flushed after every line.
    void setFlush(bool flush = true);

    /// Writes one line. Returns the number of characters the formatted message produced
    /// (prefix and line feed not counted), or a negative number on failure. With no open
    /// file the line is dropped and -1 returned.
    int writeLog(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    LogManager(const LogManager&) = delete;
    LogManager& operator=(const LogManager&) = delete;

private:
    LogManager();

    bool doFlush = true;     ///< flush after every line
    FILE* logFile = nullptr; ///< null when no file is open
};

} // namespace ks
