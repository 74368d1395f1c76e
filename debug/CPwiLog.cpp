#include "debug/CPwiLog.h"

#include <cstring>
#include <string>

#include "debug/LogFileFunctions.h"
#include "util/FileUtils.h"
#include "util/Strlcpy.h"

namespace {

void DropLeadingDot(char* extension) {
    if (extension[0] == '.') {
        std::memmove(extension, extension + 1, std::strlen(extension));
    }
}

std::unique_lock<std::mutex> LockIf(std::mutex& mutex, bool lock) {
    return lock ? std::unique_lock<std::mutex>(mutex) : std::unique_lock<std::mutex>();
}

} // namespace

CPwiLog::CPwiLog() : CPwiLog("/", "logfile", 10000000, ".LOG", ".BAK") {}

CPwiLog::CPwiLog(char const* directory, char const* name, long maxSize, char const* extension,
                 char const* backupExtension)
    : m_directory(), m_extension(), m_backupExtension(), m_baseName(), m_fullName(),
      m_backupFullName(), m_maxSize(maxSize), m_openMode(0), m_currentSize(-1), m_file(nullptr),
      m_state(STATE_CLOSED) {
    InitLogfile(directory, name, extension, backupExtension, maxSize, 0);
}

CPwiLog::~CPwiLog() {
    close_file(m_file);
}

int CPwiLog::InitLogfile(char const* directory, char const* name, char const* extension,
                         char const* backupExtension, long maxSize, T_openMode openMode) {
    // The arguments may point into the fields they replace.
    std::string const newDirectory(directory != nullptr ? directory : "");
    std::string const newName(name != nullptr ? name : "");
    std::string const newExtension(extension != nullptr ? extension : "");
    std::string const newBackupExtension(backupExtension != nullptr ? backupExtension : "");
    strlcpy(m_directory, newDirectory.c_str(), nameSize);
    strlcpy(m_baseName, newName.c_str(), nameSize);
    strlcpy(m_extension, newExtension.c_str(), nameSize);
    strlcpy(m_backupExtension, newBackupExtension.c_str(), nameSize);
    m_maxSize = maxSize;
    m_openMode = openMode;
    m_currentSize = -1;
    // A stream still open here is closed by the next OpenLogfile or the destructor.
    m_state.store(STATE_CLOSED, std::memory_order_relaxed);

    int const result = CalcFilenames();
    if (result != 0) {
        return result;
    }
    if (utils::file::isFileExisting(m_fullName)) {
        long const size = get_file_size(m_fullName);
        if (size < 0) {
            return SIZE_UNREADABLE;
        }
        m_currentSize = size;
    } else {
        m_currentSize = 0;
    }
    return 0;
}

int CPwiLog::CalcFilenames() {
    // Names that cannot be computed leave none behind: the log cannot open.
    m_fullName[0] = '\0';
    m_backupFullName[0] = '\0';

    std::size_t directoryLength = std::strlen(m_directory);
    if (directoryLength == 0 || m_directory[directoryLength - 1] != '/') {
        if (directoryLength > nameSize - 2) {
            return NAME_TOO_LONG;
        }
        m_directory[directoryLength++] = '/';
        m_directory[directoryLength] = '\0';
    }
    DropLeadingDot(m_extension);
    DropLeadingDot(m_backupExtension);

    std::size_t const stemLength = directoryLength + std::strlen(m_baseName) + 2;
    if (stemLength + std::strlen(m_extension) > nameSize ||
        stemLength + std::strlen(m_backupExtension) > nameSize) {
        return NAME_TOO_LONG;
    }
    if (std::snprintf(m_fullName, nameSize, "%s%s.%s", m_directory, m_baseName, m_extension) < 0 ||
        std::snprintf(m_backupFullName, nameSize, "%s%s.%s", m_directory, m_baseName,
                      m_backupExtension) < 0) {
        m_fullName[0] = '\0';
        m_backupFullName[0] = '\0';
        return NAME_COMPOSE_FAILED;
    }
    return 0;
}

int CPwiLog::OpenLogfile(bool lock) {
    auto const guard = LockIf(m_mutex, lock);
    if (m_state.load(std::memory_order_relaxed) != STATE_CLOSED) {
        return 0;
    }
    close_file(m_file);
    // Appending; "e" keeps the descriptor out of spawned commands.
    m_file = std::fopen(m_fullName, "a+e");
    if (m_file == nullptr) {
        return OPEN_FAILED;
    }
    m_state.store(STATE_OPEN, std::memory_order_relaxed);
    return 0;
}

int CPwiLog::CloseLogfile(bool lock) {
    auto const guard = LockIf(m_mutex, lock);
    if (m_state.load(std::memory_order_relaxed) != STATE_OPEN) {
        return 0;
    }
    int const result = close_file(m_file);
    m_file = nullptr;
    if (result != 0) {
        // Whatever the stream still held is lost: the log counts as failed.
        m_state.store(STATE_FAILED, std::memory_order_relaxed);
        return CLOSE_FAILED;
    }
    m_state.store(STATE_CLOSED, std::memory_order_relaxed);
    return 0;
}

int CPwiLog::DeleteLogfile(bool lock) {
    auto const guard = LockIf(m_mutex, lock);
    bool const closed = CloseLogfile(false) == 0;
    bool const logRemoved = std::remove(m_fullName) == 0;
    bool const backupRemoved = std::remove(m_backupFullName) == 0;
    if (logRemoved) {
        m_currentSize = 0;
    }
    return closed && logRemoved && backupRemoved ? 0 : DELETE_FAILED;
}

int CPwiLog::Fail(int result) {
    m_state.store(STATE_FAILED, std::memory_order_relaxed);
    return result;
}

int CPwiLog::Rotate() {
    bool const wasOpen = m_state.load(std::memory_order_relaxed) == STATE_OPEN;
    if (wasOpen && CloseLogfile(false) != 0) {
        return Fail(CLOSE_FAILED);
    }
    if (utils::file::isFileExisting(m_backupFullName) && std::remove(m_backupFullName) != 0) {
        return Fail(BACKUP_REMOVE_FAILED);
    }
    if (std::rename(m_fullName, m_backupFullName) != 0) {
        return Fail(RENAME_FAILED);
    }
    if (wasOpen && OpenLogfile(false) != 0) {
        return Fail(OPEN_FAILED);
    }
    m_currentSize = 0;
    return 0;
}

int CPwiLog::WriteStringToLogfile(char const* text) {
    return WriteStringToLogfile(text, text != nullptr ? std::strlen(text) : 0);
}

int CPwiLog::WriteStringToLogfile(char const* text, std::size_t textLength) {
    if (m_state.load(std::memory_order_relaxed) == STATE_FAILED || text == nullptr) {
        return 0;
    }
    long const length = static_cast<long>(textLength);
    std::lock_guard<std::mutex> const guard(m_mutex);
    // Another writer may have failed while this one waited.
    if (m_state.load(std::memory_order_relaxed) == STATE_FAILED) {
        return 0;
    }
    if (m_maxSize > 0 && m_currentSize + length > m_maxSize) {
        int const result = Rotate();
        if (result != 0) {
            return result;
        }
    }
    bool const wasOpen = m_state.load(std::memory_order_relaxed) == STATE_OPEN;
    if (!wasOpen && OpenLogfile(false) != 0) {
        return Fail(OPEN_FAILED);
    }
    // The stream is only ever used under the mutex: its own lock is not
    // needed, and the length is known.
    bool const written = fwrite_unlocked(text, 1, textLength, m_file) == textLength;
    m_currentSize += length + 2;
    if (!wasOpen) {
        int const closed = CloseLogfile(false);
        if (written && closed != 0) {
            return Fail(CLOSE_FAILED);
        }
    }
    if (!written) {
        CloseLogfile(false);
        return Fail(WRITE_FAILED);
    }
    return 0;
}

bool CPwiLog::LogfileExists() {
    return utils::file::isFileExisting(m_fullName);
}

int CPwiLog::SetFilename(char const* directory, char const* name, char const* extension,
                         char const* backupExtension) {
    std::lock_guard<std::mutex> const guard(m_mutex);
    if (CloseLogfile(false) != 0) {
        return CLOSE_FAILED;
    }
    return InitLogfile(directory, name, extension, backupExtension, m_maxSize, m_openMode);
}

int CPwiLog::SetMaxSize(long maxSize) {
    std::lock_guard<std::mutex> const guard(m_mutex);
    m_maxSize = maxSize;
    return 0;
}

long CPwiLog::GetMaxSize() {
    std::lock_guard<std::mutex> const guard(m_mutex);
    return m_maxSize;
}

long CPwiLog::GetCurrentSize() {
    std::lock_guard<std::mutex> const guard(m_mutex);
    return m_currentSize;
}
