#include "util/FileLineEdit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "debug/QuorTrace.h"
#include "util/FailureTrace.h"
#include "util/FileUtils.h"
#include "util/PathUtils.h"

namespace {

constexpr int lineBufferSize = 4100;

// Reads a text file line by line into a fixed buffer. A line longer than the
// buffer holds (4099 characters) comes in pieces, each handled as a line.
// The bare line end that follows a piece filling the buffer exactly closes
// that piece and is no (empty) line of its own.
class PieceReader {
public:
    explicit PieceReader(std::FILE* stream) : m_stream(stream) {}

    // The next piece, with its line end if it has one; null at the end.
    char* Next() {
        while (std::fgets(m_piece, lineBufferSize, m_stream) != nullptr) {
            bool const continuesPiece = m_pieceOpen;
            std::size_t const length = std::strlen(m_piece);
            m_pieceOpen = length > 0 && m_piece[length - 1] != '\n';
            if (!continuesPiece ||
                (std::strcmp(m_piece, "\n") != 0 && std::strcmp(m_piece, "\r\n") != 0)) {
                return m_piece;
            }
        }
        return nullptr;
    }

private:
    std::FILE* m_stream;
    bool m_pieceOpen = false;
    char m_piece[lineBufferSize];
};

// "\r\n" when the first piece read ends in it, else "\n".
char const* LineEndingOf(char const* firstPiece) {
    std::size_t const length = std::strlen(firstPiece);
    return length >= 2 && firstPiece[length - 2] == '\r' ? "\r\n" : "\n";
}

void StripTrailingWhitespace(char* line) {
    std::size_t length = std::strlen(line);
    while (length > 0 && std::strchr(" \t\r\n", line[length - 1]) != nullptr) {
        line[--length] = '\0';
    }
}

// Traces the failed call and returns result.
int Fail(char const* function, std::string const& path, int result) {
    utils::detail::TraceFailedCall(TRACELEVEL_ERROR, function, path.c_str(), errno);
    return result;
}

// True when the stream's last byte is not a line feed, so that an appended
// line would be glued to the last line.
bool LacksFinalLineFeed(std::FILE* stream) {
    return std::fseek(stream, -1, SEEK_END) == 0 && std::fgetc(stream) != '\n';
}

// Appends line + ending (after ending the last line, if it is open); a file
// that cannot be opened or written counts as one that cannot be appended to.
int AppendWithEnding(std::string const& file, std::string const& line, char const* ending,
                     bool endLastLine) {
    std::FILE* const stream = std::fopen(file.c_str(), "a");
    if (stream == nullptr) {
        return Fail("AppendLineToFileEx", file, APPEND_LINE_CANNOT_APPEND);
    }
    bool const written = (!endLastLine || std::fputs(ending, stream) >= 0) &&
                         std::fputs(line.c_str(), stream) >= 0 && std::fputs(ending, stream) >= 0;
    if (std::fclose(stream) != 0 || !written) {
        return Fail("AppendLineToFileEx", file, APPEND_LINE_CANNOT_APPEND);
    }
    return 0;
}

bool ContainsLine(PieceReader& reader, char* firstPiece, std::string const& line) {
    for (char* piece = firstPiece; piece != nullptr; piece = reader.Next()) {
        StripTrailingWhitespace(piece);
        if (line == piece) {
            return true;
        }
    }
    return false;
}

// Writes every piece from firstPiece on that differs from line, stripped and
// with ending. False when writing fails.
bool CopyOtherLines(PieceReader& reader, char* firstPiece, std::string const& line,
                    char const* ending, std::FILE* output) {
    bool written = true;
    for (char* piece = firstPiece; piece != nullptr; piece = reader.Next()) {
        StripTrailingWhitespace(piece);
        if (line != piece) {
            written = written && std::fputs(piece, output) >= 0 && std::fputs(ending, output) >= 0;
        }
    }
    return written;
}

} // namespace

int AppendLineToFileEx(std::string const& file, std::string const& line, bool skipIfPresent) {
    if (!utils::file::isFileExisting(file)) {
        return AppendWithEnding(file, line, "\n", false);
    }
    std::FILE* const input = std::fopen(file.c_str(), "r");
    if (input == nullptr) {
        return Fail("AppendLineToFileEx", file, APPEND_LINE_CANNOT_READ);
    }
    PieceReader reader(input);
    char* const firstPiece = reader.Next();
    if (firstPiece == nullptr) {
        std::fclose(input);
        return AppendWithEnding(file, line, "\n", false);
    }
    char const* const ending = LineEndingOf(firstPiece);
    if (skipIfPresent && ContainsLine(reader, firstPiece, line)) {
        std::fclose(input);
        return 0;
    }
    bool const endLastLine = LacksFinalLineFeed(input);
    std::fclose(input);
    return AppendWithEnding(file, line, ending, endLastLine);
}

int DeleteLineFromFileEx(std::string const& file, std::string const& line) {
    if (!utils::file::isFileExisting(file)) {
        return 0;
    }
    std::FILE* const input = std::fopen(file.c_str(), "r");
    if (input == nullptr) {
        return Fail("DeleteLineFromFileEx", file, DELETE_LINE_CANNOT_READ);
    }
    PieceReader reader(input);
    char* const firstPiece = reader.Next();
    if (firstPiece == nullptr) {
        std::fclose(input);
        return 0;
    }
    char const* const ending = LineEndingOf(firstPiece);

    // The temporary file goes beside the edited one, so that the final rename
    // stays within one file system. A bare name lies in the current directory.
    std::string directory;
    GetPathnameFromFullname(&file, &directory);
    if (directory.empty()) {
        directory = ".";
    }
    std::string tempName;
    std::FILE* const output = OpenTempFile(directory.c_str(), &tempName, "w");
    if (output == nullptr) {
        Fail("DeleteLineFromFileEx", directory, 0);
        std::fclose(input);
        return 0;
    }
    // mkstemp creates the file private; the edited file keeps its own mode.
    struct stat status;
    if (::fstat(::fileno(input), &status) == 0) {
        ::fchmod(::fileno(output), status.st_mode & 07777);
    }
    bool const written = CopyOtherLines(reader, firstPiece, line, ending, output);
    std::fclose(input);
    if (std::fclose(output) != 0 || !written) {
        // A full medium: keep the file as it is rather than replace it with a
        // cut copy.
        Fail("DeleteLineFromFileEx", tempName, 0);
        ::unlink(tempName.c_str());
        return 0;
    }
    // One rename replaces the file atomically: a power cut at any moment
    // leaves either the old or the new file, never none. When it fails the
    // old file is still there, and the copy goes.
    if (std::rename(tempName.c_str(), file.c_str()) != 0) {
        int const error = errno;
        ::unlink(tempName.c_str());
        errno = error;
        // Refused for the edited file (a sticky directory, a mount point):
        // it cannot be removed. Otherwise the copy could not be moved.
        if (error == EPERM || error == EACCES || error == EBUSY) {
            return Fail("DeleteLineFromFileEx", file, DELETE_LINE_CANNOT_REMOVE);
        }
        return Fail("DeleteLineFromFileEx", tempName, DELETE_LINE_CANNOT_RENAME);
    }
    return 0;
}
