#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>

#include <sstream>
#include <string>
#include <vector>

extern char** environ;

// Starts a program of the build with the given arguments. The command line
// holds the words that start it as ctest starts test programs (the emulator
// and its options first in a cross build), separated by blanks; see
// quor_program_command. With an output file, the program's standard output
// and error are appended to it. Returns the pid, or -1.
inline pid_t SpawnProgram(char const* commandLine, std::vector<std::string> const& args,
                          char const* outputFile = nullptr) {
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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFile != nullptr) {
        posix_spawn_file_actions_addopen(&actions, 1, outputFile, O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    pid_t pid = -1;
    int const result = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? pid : -1;
}
