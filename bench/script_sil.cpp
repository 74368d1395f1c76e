#include <benchmark/benchmark.h>
#include <lua.hpp>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "script/SILRuntime.h"

namespace {

constexpr int kLoops = 1000;

// The poll a host passes: a stop flag that another thread may set.
std::atomic<bool> stopRequested{false};
int Poll() {
    return stopRequested.load(std::memory_order_relaxed) ? -1 : 1;
}

// Each loop runs kLoops times per benchmark iteration; the counter gives the
// time of one loop iteration.
void CountLoops(benchmark::State& state) {
    state.counters["per_loop"] = benchmark::Counter(
        kLoops, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

constexpr char kSilCounting[] = R"(VAR int i
VAR int sum
i <- 0
sum <- 0
while i < 1000
  i <- add i 1
  sum <- add sum i
wend
)";

constexpr char kLuaCounting[] = R"(local i, sum = 0, 0
while i < 1000 do
  i = i + 1
  sum = sum + i
end
return sum)";

// The same loop with the test at its end.
constexpr char kSilRepeat[] = R"(VAR int i
VAR int sum
i <- 0
sum <- 0
repeat
  i <- add i 1
  sum <- add sum i
until i >= 1000
)";

constexpr char kLuaRepeat[] = R"(local i, sum = 0, 0
repeat
  i = i + 1
  sum = sum + i
until i >= 1000
return sum)";

constexpr char kSilStrings[] = R"(VAR int i
VAR str4096 s
i <- 0
s <- ""
while i < 1000
  s <- concat "[i],"
  i <- add i 1
wend
)";

constexpr char kLuaStrings[] = R"(local i, s = 0, ""
while i < 1000 do
  s = s .. i .. ","
  i = i + 1
end
return s)";

class SilProgram {
public:
    explicit SilProgram(char const* source) : m_words(16384) {
        std::string text = source;
        SILCompile(text.data(), m_words.data(), static_cast<unsigned>(m_words.size() * 4));
        m_ok = m_words[sil::kHeaderResult] == 0;
    }
    bool Ok() const { return m_ok; }
    void Run() { SILRun(m_words.data(), 0, Poll); }

private:
    std::vector<int> m_words;
    bool m_ok;
};

void RunSil(benchmark::State& state, char const* source) {
    SilProgram program(source);
    if (!program.Ok()) {
        state.SkipWithError(SILLastError());
        return;
    }
    for (auto _ : state) {
        program.Run();
    }
    CountLoops(state);
}

void RunLua(benchmark::State& state, char const* source) {
    lua_State* lua = luaL_newstate();
    luaL_openlibs(lua);
    if (luaL_loadstring(lua, source) != LUA_OK) {
        state.SkipWithError(lua_tostring(lua, -1));
        lua_close(lua);
        return;
    }
    int const chunk = luaL_ref(lua, LUA_REGISTRYINDEX);
    for (auto _ : state) {
        lua_rawgeti(lua, LUA_REGISTRYINDEX, chunk);
        lua_call(lua, 0, 1);
        lua_pop(lua, 1);
    }
    lua_close(lua);
    CountLoops(state);
}

void BM_SilCountingLoop(benchmark::State& state) {
    RunSil(state, kSilCounting);
}
void BM_LuaCountingLoop(benchmark::State& state) {
    RunLua(state, kLuaCounting);
}
void BM_SilRepeatLoop(benchmark::State& state) {
    RunSil(state, kSilRepeat);
}
void BM_LuaRepeatLoop(benchmark::State& state) {
    RunLua(state, kLuaRepeat);
}
void BM_SilStringBuildingLoop(benchmark::State& state) {
    RunSil(state, kSilStrings);
}
void BM_LuaStringBuildingLoop(benchmark::State& state) {
    RunLua(state, kLuaStrings);
}
BENCHMARK(BM_SilCountingLoop);
BENCHMARK(BM_LuaCountingLoop);
BENCHMARK(BM_SilRepeatLoop);
BENCHMARK(BM_LuaRepeatLoop);
BENCHMARK(BM_SilStringBuildingLoop);
BENCHMARK(BM_LuaStringBuildingLoop);

// A 2000-line script of the usual kinds of lines.
std::string LongScript() {
    std::string text = "VAR int i\nVAR int n\nVAR float f\nVAR string s\nSUB twice\n"
                       "n <- mult n 2\nreturn\nMAIN\n";
    int lines = 8;
    while (lines + 8 <= 2000) {
        text += "i <- 0\n"
                "while i < 10\n"
                "  i <- add i 1\n"
                "  if i == 5\n"
                "    s <- \"value [i] of [n]\"\n"
                "  endif\n"
                "  call twice\n"
                "wend\n";
        lines += 8;
    }
    return text;
}

void BM_SilCompile2000Lines(benchmark::State& state) {
    std::string const source = LongScript();
    std::vector<int> words(1 << 17);
    std::string text;
    for (auto _ : state) {
        text = source; // the compiler splits its input in place
        SILCompile(text.data(), words.data(), static_cast<unsigned>(words.size() * 4));
    }
    if (words[sil::kHeaderResult] != 0) {
        state.SkipWithError(SILLastError());
    }
    state.counters["per_line"] = benchmark::Counter(
        2000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SilCompile2000Lines);

} // namespace

BENCHMARK_MAIN();
