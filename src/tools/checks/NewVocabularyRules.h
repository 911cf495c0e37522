// The checker's rules for the vocabulary that fits a menu to the PC and the person: pages by
// number, a box's state for a program, conditions on controls, remembered choices and
// language variants. Each reads the menu's own settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/Checker.h"

class xmlTree;

// Finds what the menu reads otherwise than the file plainly says in `tree`, read from `text`:
// [gotopage] a page number the file has no page for;
// [check-variable] a %CHECK:id% in an "exec" path or parameter that no check box's id matches;
// [condition] a "yesnobox" or "exitcode" query in "ShowIf" or "EnableIf", which never holds;
// [remember] a check box with remember="user" in a file without "menuid" on "General".
std::vector<Diagnostic> CheckNewVocabulary(const xmlTree& tree, std::wstring_view text);

// Finds what a language variant of a configuration lacks of the plain file it stands in for:
// [language-variant] a page, a control of a page (by position), a check box's id, each a
// warning at the variant's place.
std::vector<Diagnostic> CompareLanguageVariant(const xmlTree& plain, const xmlTree& variant,
                                               std::wstring_view variantText);
