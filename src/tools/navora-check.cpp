// navora-check: shows a menu author what the menu reads from a configuration file.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "config/TextDecoding.h"
#include "config/xmlDocument.h"
#include "config/xmlReader.h"
#include "tools/TreeJson.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kFailure = 2;

void PrintError(const std::string& message) {
    std::fprintf(stderr, "navora-check: %s\n", message.c_str());
}

int Usage() {
    std::fputs("usage: navora-check --tree FILE\n"
               "  Reads FILE exactly as the menu does and prints its element tree as JSON.\n",
               stderr);
    return kFailure;
}

// `shownName` is the file as the user wrote it, in UTF-8, for messages.
int PrintTree(const std::filesystem::path& file, const std::string& shownName) {
    std::wstring text;
    try {
        if (!LoadConfigText(file, text)) {
            PrintError(shownName + ": cannot open the file");
            return kFailure;
        }
        const auto tree = ParseXmlText(text);
        const std::string json = TreeToJson(tree->Root()) + "\n";
        std::fwrite(json.data(), 1, json.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : kFailure;
    } catch (const xmlError& e) {
        const TextPosition at = PositionOf(text, e.Offset());
        PrintError(shownName + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) +
                   ": the menu cannot read this file: " + e.what());
    } catch (const std::exception& e) {
        PrintError(shownName + ": " + e.what());
    }
    return kFailure;
}

int Run(const std::vector<std::string>& args, const std::filesystem::path& file) {
    if (args.size() != 2 || args[0] != "--tree") {
        return Usage();
    }
    return PrintTree(file, args[1]);
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(EncodeUtf8(argv[i]));
    }
    return Run(args, argc == 3 ? std::filesystem::path(argv[2]) : std::filesystem::path());
}
#else
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return Run(args, argc == 3 ? std::filesystem::path(argv[2]) : std::filesystem::path());
}
#endif
