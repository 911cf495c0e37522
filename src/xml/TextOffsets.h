// Where units of a configuration file's decoded text stand in its bytes, for the in-place
// edits of the tools (in a file of its own: the menu links none of it).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// For ascending indices `units` into DecodeConfigText(fileBytes), each replaced by the index
// of the byte its unit's sequence starts at (for a line feed read from CR LF, the CR); the
// text's length gives where decoding stopped, a larger index npos. One pass, no copy.
void ConfigTextByteOffsets(std::string_view fileBytes, std::vector<std::size_t>& units);
