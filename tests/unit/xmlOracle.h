// A slow, literal rendering of the reader's cut-and-search rules: the text is
// copied at every step and children are read recursively. The fast reader
// must produce exactly its trees and fail exactly where it fails.
#pragma once

#include <memory>
#include <string_view>

#include "xml/xmlElement.h"

std::unique_ptr<xmlTree> OracleParse(std::wstring_view text);
