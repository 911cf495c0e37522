// navora-check: shows a menu author what the menu reads from a configuration file,
// where it will read something other than what the file says, and what each chain does.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/Checker.h"
#include "tools/DiskFiles.h"
#include "tools/PackRules.h"
#include "tools/ToolMain.h"
#include "tools/TreeJson.h"
#include "tools/Walk.h"
#include "tools/checks/NewVocabularyRules.h"
#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"
#include "xml/xmlReader.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFailure = 2;

// A file name keeps what the user wrote beside the path the system opens.
struct FileArg {
    std::string shown; // UTF-8
    fs::path path;
};

void PrintError(const std::string& message) {
    std::fprintf(stderr, "navora-check: %s\n", message.c_str());
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

constexpr const char* kUsage =
    "usage: navora-check [--werror] [--format json] FILE...\n"
    "  Reports every place where the menu will read FILE otherwise than it says.\n"
    "usage: navora-check --tree FILE\n"
    "  Reads FILE exactly as the menu does and prints its element tree as JSON.\n"
    "usage: navora-check --walk [--assume FACT]... [--format json] FILE\n"
    "  Lists the steps each control's chain takes on a machine the facts describe.\n"
    "  Facts, and what holds without them:\n"
    "    winversion=MAJOR.MINOR                 Windows version (10.0)\n"
    "    wow64=yes|no                           32-bit menu on 64-bit Windows (no)\n"
    "    admin=yes|no                           runs with administrator rights (no)\n"
    "    os64=yes|no                            64-bit Windows (yes)\n"
    "    arch=x86|x64|arm64                     the machine's architecture (x64; x86 with\n"
    "                                           os64=no)\n"
    "    file:PATTERN=present|absent            files matching PATTERN; %MENUDIR%\\ is the\n"
    "                                           menu's folder (looked up beside FILE)\n"
    "    registry:HIVE\\KEY\\NAME=TYPE:VALUE|absent  a registry value (absent)\n"
    "    exitcode:PATH=N                        exit code of PATH started with wait=\"true\",\n"
    "                                           0 to 4294967295 (unknown: never matches)\n"
    "    yesno=yes|no                           the answer to every yes/no box (yes)\n"
    "    yesno:TEXT=yes|no                      the answer to the box whose message is TEXT\n"
    "usage: navora-check --help\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return kFailure;
}

// Reads the file's text and tree as the menu does; prints the message and returns none when
// the menu cannot read it.
std::unique_ptr<xmlTree> ReadTree(const FileArg& file, std::wstring& text) {
    try {
        if (!LoadConfigText(file.path, text)) {
            PrintError(file.shown + ": cannot open the file");
            return nullptr;
        }
        return ParseXmlText(text);
    } catch (const xmlError& e) {
        const std::string line = FormatDiagnostic(file.shown, UnreadableDiagnostic(text, e), false);
        std::fputs(line.c_str(), stderr);
    } catch (const std::exception& e) {
        PrintError(file.shown + ": " + e.what());
    }
    return nullptr;
}

int PrintTree(const FileArg& file) {
    std::wstring text;
    const auto tree = ReadTree(file, text);
    if (!tree) {
        return kFailure;
    }
    Print(TreeToJson(tree->Root()) + "\n");
    return std::fflush(stdout) == 0 ? 0 : kFailure;
}

fs::path FolderOf(const fs::path& file) {
    return file.parent_path().empty() ? fs::path(".") : file.parent_path();
}

// --walk [--assume FACT]... [--format json] FILE
int PrintWalk(const std::vector<std::string>& args, const std::vector<fs::path>& paths) {
    WalkFacts facts;
    bool json = false;
    std::optional<FileArg> file;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--assume" && i + 1 < args.size()) {
            std::string error;
            if (!ParseFact(args[++i], facts, error)) {
                PrintError(error);
                return kFailure;
            }
        } else if (args[i] == "--format" && i + 1 < args.size() && args[i + 1] == "json") {
            json = true;
            ++i;
        } else if (args[i].rfind("--", 0) == 0 || file) {
            return Usage();
        } else {
            file = FileArg{args[i], paths[i]};
        }
    }
    if (!file) {
        return Usage();
    }
    std::wstring text;
    const auto tree = ReadTree(*file, text);
    if (!tree) {
        return kFailure;
    }
    DiskFiles files(FolderOf(file->path));
    const std::vector<ControlWalk> walks = WalkMenu(*tree, text, facts, files);
    Print(json ? WalkJson(walks) + "\n" : WalkText(walks));
    return std::fflush(stdout) == 0 ? 0 : kFailure;
}

struct Options {
    bool werror = false;
    bool json = false;
    std::vector<FileArg> files;
};

std::optional<std::string> ReadFileBytes(const FileArg& file) {
    std::ifstream in(file.path, std::ios::binary);
    if (!in) {
        PrintError(file.shown + ": cannot open the file");
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// `extra` holds findings about the file beyond its own check (what a language variant lacks).
int CheckFile(const FileArg& file, const Options& options, std::vector<std::string>& json,
              std::vector<Diagnostic> extra = {}) {
    const auto bytes = ReadFileBytes(file);
    if (!bytes) {
        return kFailure;
    }
    DiskFiles files(FolderOf(file.path));
    CheckResult result = CheckConfig(*bytes, files);
    result.diagnostics.insert(result.diagnostics.end(), extra.begin(), extra.end());
    std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    for (const Diagnostic& d : result.diagnostics) {
        if (options.json) {
            json.push_back(DiagnosticJson(file.shown, d, options.werror));
        } else {
            Print(FormatDiagnostic(file.shown, d, options.werror));
        }
    }
    return CheckStatus(result, options.werror);
}

// The menu may read a language variant beside the file in its place: each is checked as a
// configuration of its own, and for what it lacks of the plain file.
int CheckVariants(const FileArg& plain, const Options& options, std::vector<std::string>& json) {
    std::error_code error;
    std::vector<fs::path> variants;
    const fs::path folder = FolderOf(plain.path);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (IsLanguageVariant(plain.path.filename().wstring(), it->path().filename().wstring())) {
            variants.push_back(it->path());
        }
    }
    std::sort(variants.begin(), variants.end());
    const auto plainBytes = variants.empty() ? std::nullopt : ReadFileBytes(plain);
    std::unique_ptr<xmlTree> plainTree;
    try {
        plainTree = plainBytes ? ParseXmlText(DecodeConfigText(*plainBytes)) : nullptr;
    } catch (const xmlError&) {
        return 0; // the plain file's own check says why it cannot be read
    }
    int status = 0;
    for (const fs::path& variant : variants) {
        const std::size_t slash = plain.shown.find_last_of("/\\");
        const std::string folderShown =
            slash == std::string::npos ? std::string() : plain.shown.substr(0, slash + 1);
        const FileArg arg{folderShown + EncodeUtf8(variant.filename().wstring()), variant};
        std::vector<Diagnostic> lacks;
        if (const auto bytes = ReadFileBytes(arg); bytes && plainTree) {
            const std::wstring text = DecodeConfigText(*bytes);
            try {
                lacks = CompareLanguageVariant(*plainTree, *ParseXmlText(text), text);
            } catch (const xmlError&) {
                // Its own check reports that the menu cannot read it.
            }
        }
        status = std::max(status, CheckFile(arg, options, json, std::move(lacks)));
    }
    return status;
}

int Run(const std::vector<std::string>& args, const std::vector<fs::path>& paths) {
    if (args.size() == 1 && args[0] == "--help") {
        Print(kUsage);
        return std::fflush(stdout) == 0 ? 0 : kFailure;
    }
    if (!args.empty() && args[0] == "--tree") {
        return args.size() == 2 ? PrintTree({args[1], paths[1]}) : Usage();
    }
    if (!args.empty() && args[0] == "--walk") {
        return PrintWalk(args, paths);
    }
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--werror") {
            options.werror = true;
        } else if (args[i] == "--format" && i + 1 < args.size() && args[i + 1] == "json") {
            options.json = true;
            ++i;
        } else if (args[i].rfind("--", 0) == 0) {
            return Usage();
        } else {
            options.files.push_back({args[i], paths[i]});
        }
    }
    if (options.files.empty()) {
        return Usage();
    }
    int status = 0;
    std::vector<std::string> json;
    for (const FileArg& file : options.files) {
        status = std::max(status, CheckFile(file, options, json));
        status = std::max(status, CheckVariants(file, options, json));
    }
    if (options.json) {
        std::string all;
        for (const std::string& d : json) {
            all += (all.empty() ? "[" : ",") + d;
        }
        Print((all.empty() ? "[" : all) + "]\n");
    }
    return std::fflush(stdout) == 0 ? status : kFailure;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    return RunTool(argc, argv, Run);
}
#else
int main(int argc, char** argv) {
    return RunTool(argc, argv, Run);
}
#endif
