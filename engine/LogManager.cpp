#include "LogManager.h"

#include <cstdarg>

namespace ks {

namespace {

const char* const LINE_PREFIX = " Message : ";

} // namespace

LogManager::LogManager()
{
    setType("LogManager");
    // The log counts as started before any file is open, so that others can check it early.
    Manager::startUp();
}

LogManager::~LogManager()
{
    shutDown();
}

LogManager& LogManager::getInstance()
{
    static LogManager instance;
    return instance;
}

int LogManager::startUp()
{
    if (Manager::startUp() == -1)
        return -1;
    // A second startUp must not leak the first handle.
    if (logFile != nullptr)
        std::fclose(logFile);
    logFile = std::fopen(LOGFILE_NAME, "w");
    return logFile != nullptr ? 0 : -1;
}

void LogManager::shutDown()
{
    Manager::shutDown();
    if (logFile != nullptr)
    {
        std::fclose(logFile);
        logFile = nullptr;
    }
}

void LogManager::setFlush(bool flush)
{
    doFlush = flush;
}

int LogManager::writeLog(const char* format, ...) const
{
    // Without a file the line has nowhere to go: drop it rather than write through null.
    if (logFile == nullptr)
        return -1;

    std::fputs(LINE_PREFIX, logFile);
    va_list args;
    va_start(args, format);
    const int count = std::vfprintf(logFile, format, args);
    va_end(args);
    std::fputc('\n', logFile);
    if (doFlush)
        std::fflush(logFile);
    return count;
}

} // namespace ks
