// The entry of a command-line tool: its arguments as UTF-8 text and as the paths the system
// opens, and standard output written as bytes on Windows too.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "xml/TextDecoding.h"
#endif

using ToolRun = int (*)(const std::vector<std::string>& args,
                        const std::vector<std::filesystem::path>& paths);

#ifdef _WIN32
inline int RunTool(int argc, wchar_t** argv, ToolRun run) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    std::vector<std::filesystem::path> paths;
    for (int i = 1; i < argc; ++i) {
        args.push_back(EncodeUtf8(argv[i]));
        paths.emplace_back(argv[i]);
    }
    return run(args, paths);
}
#else
inline int RunTool(int argc, char** argv, ToolRun run) {
    return run(std::vector<std::string>(argv + 1, argv + argc),
               std::vector<std::filesystem::path>(argv + 1, argv + argc));
}
#endif
