#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "tools/ToolProcess.h"

extern char** environ;

std::filesystem::path OwnProgramPath() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

std::optional<int> RunAndWait(const std::vector<std::filesystem::path>& args) {
    std::vector<std::string> texts;
    for (const std::filesystem::path& arg : args) {
        texts.push_back(arg.native());
    }
    std::vector<char*> argv;
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (argv.size() < 2 ||
        posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return std::nullopt;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
