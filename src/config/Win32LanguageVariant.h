// Without -cfg the menu first looks beside itself for its configuration in the user's language.
#pragma once

#include <string>

#include "config/CommandLine.h"

// Returns the user's UI language as a tag ("de-AT"); empty when Windows does not tell it.
std::wstring UserLanguageTag();

// Returns the first language variant of `path` that exists (navora.de-AT.xml, then
// navora.de.xml, for the user's language), else the plain file name.
std::wstring LanguageVariantFile(const ConfigPath& path);
