// Chains: commands and queries, steps that never run, and tests that never hold as written.
#include "tools/checks/Checks.h"

namespace checks {

void CheckChainElement(CheckContext& c, const xmlElement& element, Context context) {
    const xmlElement* command = FindChild(&element, L"Command");
    const xmlElement* query = FindChild(&element, L"Query");
    if (command != nullptr && query != nullptr) {
        if (context == Context::Control) {
            c.Warning(query->GetOffset(), "unreached-chain",
                      "a control runs its <Command>: this <Query> never runs");
        } else if (context == Context::Command || context == Context::Branch) {
            c.Warning(command->GetOffset(), "unreached-chain",
                      "the <Query> beside it is the next step: this <Command> never runs");
        }
    }
    if ((context == Context::Command || context == Context::Query) &&
        FindAttributeIndex(element, L"type") == npos) {
        c.Error(element.GetOffset(), "keyword",
                Tag(element.GetName()) +
                    " has no type: " + KeywordEffect(context, L"type", L"", c.messages));
    }
    // A registry test compares the stored type first: without one it never holds.
    const bool registry = context == Context::Query && element.GetAttribute(L"type") == L"registry";
    if ((context == Context::RegistryQueryConfig && FindAttributeIndex(element, L"type") == npos) ||
        (registry && FindChild(&element, L"RegistryQueryConfig") == nullptr)) {
        c.Error(element.GetOffset(), "keyword",
                (registry ? std::string("this registry query has no <RegistryQueryConfig>")
                          : Tag(element.GetName()) + " has no type") +
                    ": the test never holds; name the value's type, e.g. type=\"REG_SZ\"");
    }
}

void CheckCheckBoxChains(CheckContext& c, const xmlElement& element) {
    for (const wchar_t* chain : {L"Command", L"Query"}) {
        if (const xmlElement* link = FindChild(&element, chain)) {
            c.Warning(link->GetOffset(), "unreached-chain",
                      "a check box only toggles: this " + Tag(chain) +
                          " never runs; without type=\"checkbox\" the control is a push "
                          "button that runs it");
        }
    }
}

// An "exitcode" query that no exec with wait="true" can precede is always Negativ.
void CheckExitCodes(CheckContext& c, const ActionSettings* action, bool waited) {
    if (action == nullptr) {
        return;
    }
    if (action->type == ActionType::ExitCode && action->source != nullptr) {
        const xmlElement* config = FindChild(action->source, L"ExitCodeQueryConfig");
        if (!waited) {
            c.Warning(action->source->GetOffset(), "exitcode",
                      "no exec with wait=\"true\" runs before this exitcode query in its "
                      "chain: it always takes <Negativ>");
        } else if (config == nullptr || config->GetAttribute(L"value").empty()) {
            c.Error(config != nullptr ? config->GetOffset() : action->source->GetOffset(),
                    "exitcode",
                    "this exitcode query has no value: the menu never matches it; write the "
                    "code to compare, e.g. <ExitCodeQueryConfig value=\"0\"/>");
        }
    }
    const bool after = waited || (action->type == ActionType::Exec && action->wait);
    for (const ChainLink* link : {&action->next, &action->positive, &action->negative}) {
        CheckExitCodes(c, link->command.get(), after);
        CheckExitCodes(c, link->query.get(), after);
    }
}

// ---- Values that can never match ----

void CheckExitCodeValue(CheckContext& c, std::wstring_view value, std::size_t at) {
    if (value.empty() || ExitCodeFromText(value)) {
        return; // an empty value is reported with its query
    }
    const std::string written = "value=\"" + Shown(value) + "\"";
    const std::wstring lower = LowerAsciiLetters(value);
    if (const auto hex = HexNumber(lower); hex && *hex <= 0xFFFFFFFFu) {
        c.Error(at, "exitcode",
                written +
                    " is hexadecimal: the menu reads exit codes only in decimal and never "
                    "matches this; write value=\"" +
                    std::to_string(*hex) + "\"");
    } else if (IsPlainNumber(value)) {
        c.Error(at, "exitcode",
                written + " lies outside the 32-bit exit codes: the menu never matches it; write a "
                          "number from -2147483648 to 4294967295");
    } else {
        c.Error(at, "exitcode",
                written +
                    " is not a decimal number: the menu never matches it; write the exit code "
                    "in digits, e.g. value=\"0\"");
    }
}

void CheckRegistryValue(CheckContext& c, RegistryType type, std::wstring_view value,
                        std::size_t at) {
    const std::string written = "value=\"" + Shown(value) + "\"";
    if (type == RegistryType::Dword) {
        const std::wstring lower = LowerAsciiLetters(value);
        if (const auto hex = HexNumber(lower); hex && *hex <= 0xFFFFFFFFu) {
            c.Error(at, "registry-value",
                    written +
                        " is hexadecimal: the menu reads REG_DWORD values in decimal and "
                        "compares with 0 here; write value=\"" +
                        std::to_string(static_cast<std::int32_t>(*hex)) + "\"");
        } else if (IsPlainNumber(value)) {
            const std::wstring_view t = TrimWhiteSpace(value);
            const auto code = ExitCodeFromText(t);
            if (!code || TextToInt(t) != static_cast<std::int32_t>(*code)) {
                c.Error(at, "registry-value",
                        written + " lies outside what the menu reads for REG_DWORD: it " +
                            "compares with " + std::to_string(TextToInt(t)) +
                            (code ? "; write value=\"" +
                                        std::to_string(static_cast<std::int32_t>(*code)) + "\""
                                  : std::string("; write a number from -2147483648 to "
                                                "2147483647")));
            }
        } else if (StartsWithNumber(value)) {
            c.Error(at, "registry-value",
                    written + " is not a plain number: the menu compares REG_DWORD data with " +
                        std::to_string(TextToInt(value)) + "; write digits only");
        } else {
            c.Error(at, "registry-value",
                    written + " is not a decimal number: the menu never matches a REG_DWORD with "
                              "it; write the number in digits, e.g. value=\"1\"");
        }
    } else if (type == RegistryType::Binary) {
        std::wstring fixed;
        bool clean = value.size() % 2 == 0;
        for (std::size_t i = 0; i < value.size(); ++i) {
            const wchar_t ch = value[i];
            const wchar_t low = LowerAsciiLetters(std::wstring_view(&ch, 1))[0];
            if ((low >= L'0' && low <= L'9') || (low >= L'a' && low <= L'f')) {
                clean = clean && ch == low;
                fixed += low;
            } else if (std::wstring_view(L" ,-:").find(ch) != npos) {
                clean = false;
            } else {
                return c.Error(at, "registry-value",
                               written +
                                   " is not hexadecimal: the menu never matches REG_BINARY data "
                                   "with it; write two lower-case hexadecimal digits per byte, "
                                   "e.g. value=\"0aff\"");
            }
        }
        if (!clean) {
            c.Error(at, "registry-value",
                    written +
                        " is not how the menu writes REG_BINARY data, two lower-case "
                        "hexadecimal digits per byte without separators: the test never "
                        "holds; " +
                        (fixed.size() % 2 == 0 ? "write value=\"" + Shown(fixed) + "\""
                                               : std::string("write two digits per byte")));
        }
    }
}

// A key that starts with a hive's name, which the menu opens under the hive of "hkey".
void CheckRegistryKey(CheckContext& c, std::wstring_view key, std::size_t at) {
    const std::wstring lower = LowerAsciiLetters(key.substr(0, key.find(L'\\')));
    bool hive = lower.rfind(L"hkey_", 0) == 0;
    for (const auto& [shortName, full] : kShortHives) {
        hive = hive || lower == LowerAsciiLetters(shortName);
    }
    if (!hive) {
        return;
    }
    const std::size_t slash = key.find(L'\\');
    c.Error(at, "registry-key",
            "key starts with the hive " + Quoted(key.substr(0, slash)) +
                ": the menu opens it under the hive of hkey, where it does not exist; give the "
                "hive in hkey only and write key=\"" +
                Shown(slash == npos ? std::wstring_view() : key.substr(slash + 1)) + "\"");
}

void CheckMajorVersion(CheckContext& c, const xmlElement& element, std::wstring_view value,
                       std::size_t at) {
    if (TextToInt(value) < 11) {
        return;
    }
    const std::int32_t checkType = TextToInt(element.GetAttribute(L"checktype"));
    c.Error(at, "winversion",
            "majorversion=\"" + Shown(value) +
                "\": no Windows reports a major version of 11 or more (Windows 11 reports "
                "10.0), so this test " +
                (checkType == -1 || checkType == -2 ? "always" : "never") +
                " holds; write majorversion=\"10\" (Windows 10 and 11 cannot be told apart)");
}

} // namespace checks
