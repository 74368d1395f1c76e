// A program buffer of any content, as a hand-altered program would be: the
// input's words with the buffer size in the header set to the buffer's real
// size, an end marker after them if they have none, and a valid checksum, so
// that the interpreter does not refuse it at once.
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzSil.h"
#include "script/SILProgram.h"
#include "script/SILRuntime.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    fuzz::RegisterCommands();
    std::size_t const words = size / 4;
    if (words < static_cast<std::size_t>(sil::kFirstCodeWord) || words > 65536) {
        return 0;
    }
    std::vector<std::int32_t> program(words + 1);
    std::memcpy(program.data(), data, words * 4);
    program[words] = sil::kEndMarker;
    program[sil::kHeaderBufferSize] = static_cast<std::int32_t>(program.size() * 4);
    std::int32_t sum = 0;
    if (!sil::ProgramChecksum(program.data(), static_cast<std::uint32_t>(program.size()), &sum)) {
        return 0; // the first code word lies beyond the buffer: refused by the header check
    }
    program[sil::kHeaderChecksum] = sum;
    fuzz::instructionsLeft = fuzz::kInstructionBudget;
    SILRun(program.data(), 0, fuzz::PollWithBudget);
    return 0;
}
