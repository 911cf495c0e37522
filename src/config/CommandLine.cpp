#include "config/CommandLine.h"

#include "xml/xmlElement.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;

} // namespace

ConfigPath SplitAtLastBackslash(std::wstring_view path) {
    const std::size_t slash = path.rfind(L'\\');
    if (slash == npos) {
        return {{}, std::wstring(path)};
    }
    return {std::wstring(path.substr(0, slash + 1)), std::wstring(path.substr(slash + 1))};
}

CommandLineOptions ParseOptions(std::wstring_view cmdLine) {
    CommandLineOptions options;
    const std::size_t dash = cmdLine.find(L'-');
    if (dash == npos) {
        return options;
    }
    const std::wstring_view text = cmdLine.substr(dash);

    constexpr std::wstring_view kSetChk = L"-setchk ";
    if (const std::size_t at = text.find(kSetChk); at != npos) {
        const std::size_t start = at + kSetChk.size();
        const std::size_t end = text.find(L' ', start);
        options.setChk = text.substr(start, end == npos ? npos : end - start) == L"true";
    }

    constexpr std::wstring_view kCfg = L"-cfg ";
    if (const std::size_t at = text.find(kCfg); at != npos) {
        // Lower-casing A-Z keeps every index, so positions carry over to the original text.
        const std::size_t ext = LowerAsciiLetters(text).rfind(L".xml");
        const std::size_t start = at + kCfg.size();
        if (ext != npos && ext >= start) {
            options.cfg = SplitAtLastBackslash(text.substr(start, ext + 4 - start));
        }
    }
    return options;
}

ConfigPath DefaultConfigPath(std::wstring_view modulePath) {
    std::wstring path = LowerAsciiLetters(modulePath);
    for (std::size_t at = path.find(L".exe"); at != npos; at = path.find(L".exe", at + 4)) {
        path.replace(at, 4, L".xml");
    }
    return SplitAtLastBackslash(path);
}

ConfigPath EffectiveConfigPath(const CommandLineOptions& options, std::wstring_view modulePath) {
    return options.cfg.dir.empty() ? DefaultConfigPath(modulePath) : options.cfg;
}

std::vector<std::wstring> LanguageVariants(std::wstring_view file, std::wstring_view tag) {
    std::vector<std::wstring> names;
    constexpr std::wstring_view kXml = L".xml";
    if (file.size() < kXml.size() || LowerAsciiLetters(file.substr(file.size() - 4)) != kXml) {
        return names;
    }
    const std::wstring_view stem = file.substr(0, file.size() - kXml.size());
    // From the whole tag to its language: "zh-Hant-TW", "zh-Hant", "zh".
    for (std::size_t end = tag.size(); end != 0 && end != npos; end = tag.rfind(L'-', end - 1)) {
        names.push_back(std::wstring(stem) + L"." + std::wstring(tag.substr(0, end)) +
                        std::wstring(file.substr(stem.size())));
    }
    return names;
}
