#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>

#include "util/QuorExport.h"

// Kept with a log file and passed on when its names change; the file itself
// is always opened for appending ("a+").
typedef int T_openMode;

// A log file with a size limit. When a write would push the file past the
// limit, the file becomes the backup (replacing the older one) and a fresh
// file starts, so at most two files exist: directory/name.extension and
// directory/name.backupExtension. Every write counts its length plus 2 bytes.
//
// Any failure while writing disables the log (state FAILED): later writes are
// dropped and return 0 until SetFilename names the log again. Open, close,
// write, rotation and size changes are serialised by the object's mutex.
class QUOR_EXPORT CPwiLog {
public:
    enum : int {
        NAME_TOO_LONG = -1000,
        OPEN_FAILED = -1001,
        CLOSE_FAILED = -1002,
        DELETE_FAILED = -1003,
        WRITE_FAILED = -1004,
        SIZE_UNREADABLE = -1005,
        BACKUP_REMOVE_FAILED = -1006,
        RENAME_FAILED = -1007,
        NAME_COMPOSE_FAILED = -1008,
        FLUSH_FAILED = -1009,
    };
    enum : int {
        STATE_OPEN = 0,
        STATE_FAILED = 1,
        STATE_CLOSED = 2,
    };
    static constexpr std::size_t nameSize = 500;

    // "/logfile.LOG" with backup "/logfile.BAK", at most 10000000 bytes.
    CPwiLog();
    CPwiLog(char const* directory, char const* name, long maxSize, char const* extension,
            char const* backupExtension);
    virtual ~CPwiLog();
    CPwiLog(CPwiLog const&) = delete;
    CPwiLog& operator=(CPwiLog const&) = delete;

    // Takes the names (a missing "/" after the directory is added, a leading
    // "." of the extensions dropped) and the limit (0 or less: none), and
    // counts the size of an existing file. Leaves the log closed. Not locked:
    // for construction; later changes go through SetFilename.
    int InitLogfile(char const* directory, char const* name, char const* extension,
                    char const* backupExtension, long maxSize, T_openMode openMode);
    int CalcFilenames();

    // With lock false the caller holds the mutex or needs no locking.
    int OpenLogfile(bool lock);
    int CloseLogfile(bool lock);
    // Closes and removes the log and its backup; -1003 if any step failed
    // (a missing file counts as a failure).
    int DeleteLogfile(bool lock);

    // Writes text as it is (no newline is added). An open log writes into the
    // stream's buffer; a closed log is opened and closed around the write.
    int WriteStringToLogfile(char const* text);
    // The same for a text whose length (strlen) the caller already knows.
    int WriteStringToLogfile(char const* text, std::size_t textLength);

    bool LogfileExists();

    // Closes the log and renames it, keeping the limit and open mode. The
    // arguments may be the object's own fields (GetLogfileExt()...).
    int SetFilename(char const* directory, char const* name, char const* extension,
                    char const* backupExtension);

    int SetMaxSize(long maxSize);
    long GetMaxSize();
    // The counted size (-1 before the names are computed).
    long GetCurrentSize();
    int GetState() const { return m_state.load(std::memory_order_relaxed); }

    char const* GetLogfileFullName() const { return m_fullName; }
    char const* GetLogfilePath() const { return m_directory; }
    char const* GetLogfileName() const { return m_baseName; }
    char const* GetLogfileExt() const { return m_extension; }
    char const* GetBakfileExt() const { return m_backupExtension; }

private:
    // Moves the log to the backup name; the mutex is held.
    int Rotate();
    // Sets the failed state and returns result; the mutex is held.
    int Fail(int result);

    char m_directory[nameSize];
    char m_extension[nameSize];
    char m_backupExtension[nameSize];
    char m_baseName[nameSize];
    char m_fullName[nameSize];
    char m_backupFullName[nameSize];
    long m_maxSize;
    T_openMode m_openMode;
    std::mutex m_mutex;
    long m_currentSize;
    std::FILE* m_file;
    // Read without the mutex by writers that drop their text once it failed.
    std::atomic<int> m_state;
};
