// navora-pack: builds a medium's folder from a configuration: the 32-bit menu under the
// configuration's program name, the configuration and its language variants, every file the
// menu reads or starts, and autorun.inf; with --iso, an ISO 9660 + Joliet image through xorriso.
// It refuses a configuration the checker finds errors in.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "config/MenuSettings.h"
#include "tools/Checker.h"
#include "tools/DiskFiles.h"
#include "tools/PackRules.h"
#include "tools/ToolMain.h"
#include "tools/ToolProcess.h"
#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"
#include "xml/xmlReader.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRefused = 1; // the checker found errors
constexpr int kFailure = 2;

constexpr const char* kUsage =
    "usage: navora-pack [--menu EXE] [--iso FILE] [--label NAME] CONFIG OUTDIR\n"
    "  Builds the medium's folder OUTDIR (new or empty): the 32-bit menu (EXE, else the\n"
    "  navora.exe beside navora-pack) named after CONFIG, CONFIG and its language variants,\n"
    "  every file the menu reads or starts, and autorun.inf. --iso also writes an ISO 9660 +\n"
    "  Joliet image with xorriso, labelled NAME or the window's caption.\n";

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::wstring WideOf(const fs::path& path) {
    return DecodeUtf8(Utf8Of(path));
}

fs::path PathOf(std::wstring_view text) {
    const std::string bytes = EncodeUtf8(text);
    return fs::path(std::u8string(bytes.begin(), bytes.end()));
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void Warn(const std::string& message) {
    Print("warning: " + message + "\n");
}

int Fail(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "navora-pack: %s\n", message.c_str());
    return kFailure;
}

bool WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
}

std::optional<std::string> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return in.bad() ? std::nullopt : std::optional<std::string>(std::move(bytes));
}

struct Options {
    fs::path config;
    fs::path out;
    fs::path menu;
    std::optional<fs::path> iso;
    std::optional<std::wstring> label;
};

// What the configuration brings: its references and the window's settings.
struct ConfigRead {
    std::vector<MenuReference> references;
    WindowSettings window;
};

// Checks the configuration as navora-check does and reads what it names; none when the checker
// finds errors, which are printed.
std::optional<ConfigRead> CheckAndRead(const std::string& shown, const std::string& bytes,
                                       FileLookup& files) {
    const CheckResult result = CheckConfig(bytes, files);
    for (const Diagnostic& d : result.diagnostics) {
        if (d.severity == Severity::Error) {
            Print(FormatDiagnostic(shown, d, false));
        }
    }
    if (CheckStatus(result, false) != 0) {
        return std::nullopt;
    }
    const auto tree = ParseConfigBytes(bytes);
    const xmlElement& root = tree->Root();
    return ConfigRead{MenuReferences(root), ReadWindowSettings(FindChild(&root, L"General"))};
}

// What a language variant names, where the menu can read it; it goes along as it is.
std::vector<MenuReference> VariantReferences(const fs::path& path) {
    const auto bytes = ReadBytes(path);
    try {
        return bytes ? MenuReferences(ParseConfigBytes(*bytes)->Root())
                     : std::vector<MenuReference>();
    } catch (const xmlError&) {
        Warn(Utf8Of(path.filename()) + ": the menu cannot read it; navora-check tells why");
        return {};
    }
}

bool Within(const fs::path& inner, const fs::path& outer) {
    const fs::path rest = inner.lexically_relative(outer);
    return !rest.empty() && *rest.begin() != "..";
}

// Copies a file, or a folder with all it holds, to the same place below `out`; what is there
// already stays. False when the copy fails.
bool CopyFound(const fs::path& found, const fs::path& dir, const fs::path& out) {
    if (Within(out, found) || out == found) {
        Warn(Utf8Of(found.lexically_relative(dir)) + " holds the output folder: not copied");
        return true;
    }
    const fs::path target = out / found.lexically_relative(dir);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    fs::copy(found, target, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    return !ec;
}

// Copies every match of a path from the configuration's folder; wildcards in its last part
// match within the folder of the first match.
bool CopyMatches(const std::wstring& relative, DiskFiles& files, const fs::path& dir,
                 const fs::path& out) {
    const auto found = files.Resolve(relative);
    if (!found || found->empty()) {
        return true;
    }
    const std::size_t slash = relative.rfind(L'\\');
    const std::wstring last =
        LowerAsciiLetters(relative.substr(slash == std::wstring::npos ? 0 : slash + 1));
    if (last.find_first_of(L"*?") == std::wstring::npos) {
        return CopyFound(*found, dir, out);
    }
    std::vector<fs::path> matches;
    std::error_code ec;
    for (fs::directory_iterator it(found->parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (WildcardMatch(last, LowerAsciiLetters(WideOf(it->path().filename())))) {
            matches.push_back(it->path());
        }
    }
    std::sort(matches.begin(), matches.end());
    return std::all_of(matches.begin(), matches.end(),
                       [&](const fs::path& match) { return CopyFound(match, dir, out); });
}

// Writes the image of `out` with xorriso; false when there is none.
bool WriteImage(const fs::path& out, const fs::path& iso, const std::wstring& label) {
    std::error_code ec;
    fs::remove(iso, ec);
    const std::string volume = VolumeLabel(label);
    const auto status =
        RunAndWait({"xorriso", "-as", "mkisofs", "-quiet", "-r", "-J", "-V",
                    fs::path(std::u8string(volume.begin(), volume.end())), "-o", iso, out});
    if (!status) {
        Fail("xorriso is not installed: no image written; the folder " + Utf8Of(out) +
             " is complete (install xorriso, or burn the folder as it is)");
        return false;
    }
    if (*status != 0) {
        Fail("xorriso failed with status " + std::to_string(*status) + ": no image written");
        return false;
    }
    return true;
}

int Pack(const Options& options) {
    const fs::path config = fs::absolute(options.config);
    const fs::path dir = config.parent_path();
    const fs::path out = fs::absolute(options.out);
    const std::wstring configName = WideOf(config.filename());
    const auto program = ProgramNameFor(configName);
    if (!program) {
        return Fail(Utf8Of(config.filename()) +
                    ": the menu reads only a file named like itself with \".xml\" in place of "
                    "\".exe\"; rename the configuration");
    }
    const auto menu = ReadBytes(options.menu);
    const auto header = menu ? ReadProgramHeader(*menu) : std::nullopt;
    if (!header) {
        return Fail(Utf8Of(options.menu) + ": not found or not a Windows program (give --menu)");
    }
    // A warning, not a refusal: a 64-bit menu still serves media for 64-bit Windows only.
    if (header->machine != 0x14c) {
        Warn(Utf8Of(options.menu) +
             " is not the 32-bit navora.exe: it does not start on 32-bit Windows");
    }
    // Only a new or empty folder: the packer never overwrites or deletes an author's files.
    std::error_code ec;
    if (fs::exists(out, ec) && !fs::is_empty(out, ec)) {
        return Fail(Utf8Of(options.out) + " is not empty: the packer writes only into a new or "
                                          "empty folder");
    }

    const auto bytes = ReadBytes(config);
    if (!bytes) {
        return Fail(Utf8Of(options.config) + ": cannot read the file");
    }
    DiskFiles files(dir);
    const auto read = CheckAndRead(Utf8Of(config.filename()), *bytes, files);
    if (!read) {
        std::fflush(stdout);
        std::fprintf(stderr, "navora-pack: the checker finds errors (navora-check tells more): "
                             "nothing packed\n");
        return kRefused;
    }
    const WindowSettings& window = read->window;
    std::vector<MenuReference> references = read->references;
    // The configuration, then its language variants in name order.
    std::vector<fs::path> configs{config};
    std::vector<fs::path> variants;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (IsLanguageVariant(configName, WideOf(it->path().filename()))) {
            variants.push_back(it->path());
        }
    }
    std::sort(variants.begin(), variants.end());
    for (const fs::path& variant : variants) {
        const std::vector<MenuReference> named = VariantReferences(variant);
        references.insert(references.end(), named.begin(), named.end());
        configs.push_back(variant);
    }
    const PackPlan plan = PlanMedium(references, files);

    fs::create_directories(out, ec);
    bool copied = !ec && WriteBytes(out / PathOf(*program), *menu);
    for (const fs::path& path : configs) {
        copied = copied && fs::copy_file(path, out / path.filename(), ec);
    }
    for (const std::wstring& relative : plan.copies) {
        copied = copied && CopyMatches(relative, files, dir, out);
    }
    // The window's icon stands for the medium where it lies on it.
    std::wstring icon;
    if (PlaceOf({window.icon, ReferenceKind::Icon}, icon) != Placement::Medium ||
        std::find(plan.copies.begin(), plan.copies.end(), icon) == plan.copies.end()) {
        icon.clear();
    }
    const std::wstring label = options.label.value_or(
        window.caption.empty() ? configName.substr(0, configName.size() - 4) : window.caption);
    if (!copied || !WriteBytes(out / "autorun.inf", AutorunInf(*program, icon, label))) {
        return Fail("cannot write into " + Utf8Of(options.out));
    }

    for (const std::wstring& path : plan.missing) {
        Warn(EncodeUtf8(path) + " is named but not found: it is not on the medium");
    }
    for (const std::wstring& path : plan.outside) {
        Warn(EncodeUtf8(path) +
             " lies outside the configuration's folder: it is not on the medium");
    }
    for (const std::wstring& path : plan.unsigned_) {
        Warn(EncodeUtf8(path) + " carries no Authenticode signature: Windows warns before it "
                                "starts, or blocks it");
    }
    std::vector<fs::path> written;
    for (fs::recursive_directory_iterator it(out, ec), end; !ec && it != end; it.increment(ec)) {
        written.push_back(it->path().lexically_relative(out));
    }
    std::sort(written.begin(), written.end());
    for (const fs::path& path : written) {
        if (!FitsJoliet(WideOf(path))) {
            Warn(Utf8Of(path) +
                 " has a name longer than Joliet's 64 characters: the image cuts it");
        }
    }
    Print("packed " + std::to_string(written.size()) + " files and folders into " +
          Utf8Of(options.out) + "\n");
    if (options.iso && !WriteImage(out, fs::absolute(*options.iso), label)) {
        return kFailure;
    }
    return std::fflush(stdout) == 0 ? 0 : kFailure;
}

int Run(const std::vector<std::string>& args, const std::vector<fs::path>& paths) {
    Options options;
    std::vector<fs::path> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool value = i + 1 < args.size();
        if (args[i] == "--help") {
            Print(kUsage);
            return std::fflush(stdout) == 0 ? 0 : kFailure;
        } else if (args[i] == "--menu" && value) {
            options.menu = paths[++i];
        } else if (args[i] == "--iso" && value) {
            options.iso = paths[++i];
        } else if (args[i] == "--label" && value) {
            options.label = DecodeUtf8(args[++i]);
        } else if (args[i].rfind("--", 0) == 0) {
            positional.clear();
            break;
        } else {
            positional.push_back(paths[i]);
        }
    }
    if (positional.size() != 2) {
        std::fputs(kUsage, stderr);
        return kFailure;
    }
    options.config = positional[0];
    options.out = positional[1];
    if (options.menu.empty()) {
        options.menu = OwnProgramPath().parent_path() / "navora.exe";
    }
    try {
        return Pack(options);
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
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
