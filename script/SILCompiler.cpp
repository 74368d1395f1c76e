#include "script/SILCompiler.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "script/SILCompileState.h"
#include "script/SILProgram.h"
#include "script/SILTokenizer.h"
#include "script/SILVariables.h"

int SILBadArgument = 0;

namespace sil {

int* bytecode = nullptr;
unsigned words = 0;
int next = 0;
int ifstack[kStackSize];
int ifsp = 0;
int whilestack[kStackSize];
int whilesp = 0;
int repeatstack[kStackSize];
int repeatsp = 0;
char lastError[256] = "";

int FreeWords() {
    return bytecode[kHeaderStorageLow] - next;
}

bool Emit(int word) {
    if (next + 1 >= bytecode[kHeaderStorageLow]) {
        return false;
    }
    bytecode[next++] = word;
    return true;
}

namespace {

constexpr int kDefaultStringSize = 264; // capacity 256

char const* Message(int code) {
    switch (code) {
    case kErrUnknownCommand:
        return "Unkown command";
    case kErrArgumentCount:
        return "Wrong number of arguments";
    case kErrTypeMismatch:
        return "Argument %d: Type mismatch";
    case kErrNestingIf:
        return "Bad nesting if-else-endif";
    case kErrNestingWhile:
        return "Bad nesting while-wend";
    case kErrNestingRepeat:
        return "Bad nesting repeat-until";
    case kErrTooManyVariables:
        return "Too many variables";
    case kErrDeclaredTwice:
        return "Variable declared twice";
    case kErrUnknownVariable:
        return "Unkown variable";
    case kErrVariableMemory:
        return "Out of memory (variables)";
    case kErrProgramMemory:
        return "Out of memory (program)";
    case kErrTooManyArguments:
        return "Too many arguments";
    case kErrLineTooLong:
        return "Line too long";
    default:
        return "Syntax error";
    }
}

void SetError(int code, char const* line) {
    char message[64];
    std::snprintf(message, sizeof message, Message(code), SILBadArgument);
    std::snprintf(lastError, sizeof lastError, "Compile Error: %s in line: '%s'\r\n", message,
                  line);
}

// Size in bytes of a variable of the type named in a VAR line; 0 when the
// type is unknown.
int VariableSize(char const* typeName, int* type) {
    *type = kTypeInt;
    if (std::strcmp(typeName, "int") == 0) {
        return 4;
    }
    if (std::strcmp(typeName, "float") == 0) {
        *type = kTypeFloat;
        return 4;
    }
    *type = kTypeString;
    if (std::strcmp(typeName, "string") == 0) {
        return kDefaultStringSize;
    }
    if (std::strncmp(typeName, "str", 3) != 0 || typeName[3] == '\0') {
        return 0;
    }
    long capacity = 0;
    for (char const* digit = typeName + 3; *digit != '\0'; ++digit) {
        if (!std::isdigit(static_cast<unsigned char>(*digit))) {
            return 0;
        }
        capacity = capacity * 10 + (*digit - '0');
        if (capacity > kMaxStringSize) {
            capacity = kMaxStringSize;
        }
    }
    long const size = ((capacity + 3) & ~3L) + 8;
    return static_cast<int>(size > kMaxStringSize ? kMaxStringSize : size);
}

int CompileKeyword(T_SILLine& line, int* entry, bool* handled) {
    char const* word = line.tokens[0];
    *handled = true;
    if (std::strcmp(word, "MAIN") == 0) {
        *entry = next;
        return 0;
    }
    if (std::strcmp(word, "END") == 0) {
        return Emit(kEndMarker) ? 0 : kErrProgramMemory;
    }
    if (std::strcmp(word, "SUB") == 0) {
        if (line.count < 2) {
            return kErrSyntax;
        }
        if (int const result = SILDeclareVariable(line.tokens[1], kTypeInt, 0)) {
            return result;
        }
        bytecode[var[vanz - 1].position] = next;
        return 0;
    }
    if (std::strcmp(word, "VAR") == 0) {
        if (line.count < 3) {
            return kErrSyntax;
        }
        int type;
        int const size = VariableSize(line.tokens[1], &type);
        if (size == 0) {
            return kErrUnknownVariable;
        }
        for (int k = 2; k < line.count; ++k) {
            if (int const result = SILDeclareVariable(line.tokens[k], type, size)) {
                return result;
            }
        }
        return 0;
    }
    *handled = false;
    return 0;
}

// The arrow forms: "a <- b" assigns or calls b for its result, "a <- cmd
// args" calls cmd with a as the target, its first argument.
int ApplyArrow(T_SILLine& line) {
    if (!line.arrow) {
        return 0;
    }
    if (line.count < 2) {
        return kErrSyntax;
    }
    char const* value = line.tokens[1];
    if (line.count == 2 &&
        (FindVariable(value) >= 0 || std::isdigit(static_cast<unsigned char>(value[0])) ||
         std::strchr("+-\":", value[0]) != nullptr)) {
        line.tokens[2] = value;
        line.tokens[1] = line.tokens[0];
        line.tokens[0] = "set";
        line.count = 3;
        return 0;
    }
    line.tokens[1] = line.tokens[0];
    line.tokens[0] = value;
    return 0;
}

int CompileLine(char const* source, std::size_t length, int* entry) {
    char const* first = source + std::strspn(source, " \t");
    if (*first == '#') {
        return 0;
    }
    if (FreeWords() < kMinFreeWordsPerLine) {
        return kErrProgramMemory;
    }
    if (length >= kLineSize) {
        return kErrLineTooLong;
    }
    T_SILLine line;
    std::memcpy(line.text, source, length + 1);
    int result = SpaceOperators(line.text);
    if (result == 0) {
        result = Tokenize(line);
    }
    if (result == 0) {
        result = ApplyArrow(line);
    }
    if (result != 0 || line.count == 0) {
        return result;
    }
    bool handled;
    result = CompileKeyword(line, entry, &handled);
    return handled ? result : CompileCommandLine(line);
}

void Finish(int result, int entry) {
    bytecode[next] = kEndMarker;
    bytecode[kHeaderEntry] = entry;
    bytecode[kHeaderResult] = result;
    std::int32_t sum = 0;
    ProgramChecksum(bytecode, words, &sum);
    bytecode[kHeaderChecksum] = sum;
}

} // namespace

} // namespace sil

using namespace sil;

int* SILCompile(char* source, int* buffer, unsigned bufferSize) {
    lastError[0] = '\0';
    SILBadArgument = 0;
    vanz = 0;
    ifsp = whilesp = repeatsp = 0;
    next = kFirstCodeWord;
    bytecode = buffer;
    words = buffer != nullptr ? bufferSize / 4 : 0;
    if (words <= static_cast<unsigned>(kFirstCodeWord)) {
        // No room for the header and an end marker.
        SetError(kErrProgramMemory, "");
        if (words > static_cast<unsigned>(kHeaderResult)) {
            buffer[kHeaderResult] = kErrProgramMemory;
        }
        bytecode = nullptr;
        return buffer;
    }
    buffer[kHeaderFirstCode] = kFirstCodeWord;
    buffer[kHeaderStorageLow] = static_cast<int>(words);
    buffer[kHeaderEntry] = kFirstCodeWord;
    buffer[kHeaderBufferSize] = static_cast<int>(bufferSize);
    buffer[kHeaderResult] = 0;
    buffer[kHeaderChecksum] = 0;

    int entry = kFirstCodeWord;
    int result = 0;
    char const* lastLine = "";
    char* cursor = source != nullptr ? source : const_cast<char*>("");
    while (*cursor != '\0' && result == 0) {
        char* const line = cursor;
        std::size_t const length = std::strcspn(line, "\r\n");
        cursor = line + length;
        if (*cursor != '\0') {
            *cursor++ = '\0';
        }
        if (length == 0) {
            continue;
        }
        lastLine = line;
        result = CompileLine(line, length, &entry);
        if (result != 0) {
            SetError(result, line);
        }
    }
    if (result == 0) {
        result = whilesp > 0    ? kErrNestingWhile
                 : repeatsp > 0 ? kErrNestingRepeat
                 : ifsp > 0     ? kErrNestingIf
                                : 0;
        if (result != 0) {
            SetError(result, lastLine);
        }
    }
    Finish(result, entry);
    bytecode = nullptr; // declarations belong to a compile
    return buffer;
}

char const* SILLastError(void) {
    return lastError;
}
