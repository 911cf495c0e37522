#include "xml/TextOffsets.h"

#include <algorithm>
#include <string>

#include "xml/TextDecoding.h"

void ConfigTextByteOffsets(std::string_view fileBytes, std::vector<std::size_t>& units) {
    const std::string_view raw = fileBytes.substr(0, fileBytes.find('\x1A'));
    std::size_t next = 0; // the first entry of `units` not found yet
    std::size_t n = 0;    // units decoded so far
    // The units before `count` start at byte `at`.
    const auto reach = [&](std::size_t count, std::size_t at) {
        for (; next < units.size() && units[next] < count; ++next) {
            units[next] = at;
        }
        n = count;
    };
    std::size_t i = 0;
    std::vector<std::size_t> starts;
    while (i < raw.size() && raw[i] != '\0' && next < units.size()) {
        const std::size_t at = i;
        if (static_cast<unsigned char>(raw[i]) >= 0x80) {
            // One sequence is at most 4 bytes: decoded alone, its units start at 0 and the
            // next unit (or the end) where it stops. CR, LF and NUL never continue one.
            DecodeUtf8(raw.substr(i, 4), &starts);
            const auto own = static_cast<std::size_t>(
                std::find_if(starts.begin(), starts.end(), [](std::size_t s) { return s > 0; }) -
                starts.begin());
            i += starts[own];
            reach(n + own, at);
        } else {
            i += raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
            reach(n + 1, at);
        }
    }
    for (; next < units.size(); ++next) {
        units[next] = units[next] == n ? i : std::string_view::npos;
    }
}
