// Generated menus full of the dialect's quirks, for the property tests of the rewrites in
// place: pages of check boxes with ids and layouts, then a few random insertions and
// deletions of pieces that trouble a rewrite (line ends, byte order marks, broken UTF-8,
// NUL, U+001A, quotes, names that reach back).
#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <vector>

inline const std::vector<std::string> kMenuIds = {"a", "b", " a ", "a\\\"b", "\xC3\xBC"};
inline const std::vector<std::string> kMenuPieces = {" currentval=\"x\"",
                                                     " currentval = \"\"",
                                                     " currentval=false",
                                                     " CurrentVal=\"y\"",
                                                     " currentvalue=\"z\"",
                                                     " currentval\n=\t\"q\"",
                                                     " tooltipp=\"see currentval=\\\"1\\\"\"",
                                                     " id=\"a\"",
                                                     " id\n=\"b\"",
                                                     " width=\"100\"",
                                                     "<L currentval=\"v\"/>",
                                                     " currentval=\"w\" <e/>",
                                                     "<config>",
                                                     "</config>",
                                                     "<Page>",
                                                     "</Page>",
                                                     "?",
                                                     "<",
                                                     ">",
                                                     "/>",
                                                     "\"",
                                                     "=",
                                                     "\r\n",
                                                     "\n",
                                                     "\x1A",
                                                     "\xE2",
                                                     "\xE2\x82",
                                                     "\xEF\xBB\xBF",
                                                     std::string(1, '\0'),
                                                     " ",
                                                     "\\"};

inline std::string Menu(std::mt19937& rng) {
    std::uniform_int_distribution<int> die(0, 99);
    std::string text = die(rng) < 30 ? "\xEF\xBB\xBF" : "";
    text += die(rng) < 40 ? "<?xml version=\"1.0\"?>\n" : "";
    text += "<config>\n <Pages>\n";
    for (int page = die(rng) % 3; page >= 0; --page) {
        const bool named = die(rng) < 20; // a page may be named "config"
        text += named ? "  <config>" : "  <Page>";
        for (int box = die(rng) % 4; box >= 0; --box) {
            text += "<Box";
            if (die(rng) < 85) {
                text += " id" + std::string(die(rng) < 20 ? "\n= " : "=") + "\"" +
                        kMenuIds[die(rng) % kMenuIds.size()] + "\"";
            }
            text += die(rng) < 20 ? kMenuPieces[die(rng) % 6] + ">" : ">";
            const int layout = die(rng);
            text += "<ButtonLayout type=\"checkbox\"" +
                    (layout < 50 ? kMenuPieces[0] : kMenuPieces[layout % 7]) + "/></Box>\n";
        }
        text += named ? "</config>\n" : "</Page>\n";
    }
    text += " </Pages>\n</config>\n";
    for (int m = die(rng) % 4 - 1; m > 0; --m) {
        std::uniform_int_distribution<std::size_t> at(0, text.size());
        if (die(rng) < 60) {
            text.insert(at(rng), kMenuPieces[die(rng) % kMenuPieces.size()]);
        } else {
            text.erase(std::min(at(rng), text.size() - 1), 1 + die(rng) % 3);
        }
    }
    return text;
}
