#pragma once

// The pages the decoding benchmarks decode (HTML-like text, files read back whole) and the tools
// they are measured against.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace kiosk::bench {

// HTML-like text from a small vocabulary in pseudo-random order, size bytes long: compresses about
// as well as pages do.
inline std::string MakeHtmlPage(size_t size) {
    static const char* const kWords[] = {"<div class=\"item\">",
                                         "</div>\n",
                                         "<a href=\"/catalog/",
                                         "\">",
                                         "</a>",
                                         "Расписание",
                                         "приёма",
                                         "service",
                                         "terminal",
                                         "<td>",
                                         "</td>",
                                         "<span>",
                                         "</span>",
                                         "2024",
                                         "оплата",
                                         " "};
    std::string page = "<html><head><title>Каталог</title></head><body>\n";
    uint32_t state = 12345;
    while (page.size() < size) {
        state = state * 1103515245u + 12345u;
        page += kWords[(state >> 16) % std::size(kWords)];
        if ((state >> 8) % 7 == 0) page += std::to_string(state % 100000);
    }
    page.resize(size);
    return page;
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Runs a tool (found on PATH) with its output to /dev/null and waits for it; throws when it fails.
inline void RunDiscardingOutput(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || status != 0)
        throw std::runtime_error(arguments.front() + " failed");
}

}  // namespace kiosk::bench
