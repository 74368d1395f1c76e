// SIL source text of any content, compiled into a small and a large program
// buffer; what compiles is run with an instruction budget.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSil.h"
#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "script/SILRuntime.h"

namespace {

void CompileAndRun(std::uint8_t const* data, std::size_t size, unsigned bufferBytes) {
    std::string source(reinterpret_cast<char const*>(data), size); // compiled in place
    std::vector<int> program(bufferBytes / 4);
    SILCompile(&source[0], program.data(), bufferBytes);
    if (program[sil::kHeaderResult] == 0) {
        fuzz::instructionsLeft = fuzz::kInstructionBudget;
        SILRun(program.data(), 0, fuzz::PollWithBudget);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    fuzz::RegisterCommands();
    CompileAndRun(data, size, 256);
    CompileAndRun(data, size, 65536);
    return 0;
}
