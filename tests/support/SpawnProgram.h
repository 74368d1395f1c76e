#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <sstream>
#include <string>
#include <vector>

extern char** environ;

// Starts a program of the build with the given arguments. The command line
// holds the words that start it as ctest starts test programs (the emulator
// and its options first in a cross build), separated by blanks; see
// quor_program_command. Returns the pid, or -1.
inline pid_t SpawnProgram(char const* commandLine, std::vector<std::string> const& args) {
    std::vector<std::string> words;
    std::istringstream in(commandLine);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}
