// Portable replacements for the platform's text handling, so that the reader
// produces the same text on Windows and Linux.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The bytes a C runtime text-mode read delivers: every CR LF pair becomes LF,
// and the read ends at the first 0x1A byte.
std::string ReadTextMode(std::string_view raw);

// The bytes a C runtime text-mode write puts on disk: every LF becomes CR LF.
std::string WriteTextMode(std::string_view text);

// The text of a configuration file's bytes: what the C runtime's text-mode
// read delivers (every CR LF pair becomes LF, the read ends at the first 0x1A
// byte), decoded from UTF-8 as Windows documents it (each maximal broken
// sequence becomes one U+FFFD, and the next byte starts afresh), up to the
// first NUL character. Characters beyond U+FFFF are a surrogate pair where
// wchar_t has 16 bits. Equals DecodeUtf8(ReadTextMode(fileBytes)).
std::wstring DecodeConfigText(std::string_view fileBytes);

// Bytes already read in text mode, decoded like DecodeConfigText up to the
// first NUL. With `byteOffsets`, it receives for each unit of the result the
// index of the byte its sequence starts at, and one more entry: where the
// decoding stopped.
std::wstring DecodeUtf8(std::string_view text, std::vector<std::size_t>* byteOffsets = nullptr);

// The bytes DecodeConfigText decodes: cut at the first 0x1A or NUL byte, every CR LF
// pair made LF. DecodeUtf8 of the result equals DecodeConfigText(fileBytes).
std::string ConfigTextBytes(std::string_view fileBytes);

// How many units DecodeUtf8 makes of `text`, which holds no NUL.
std::size_t DecodedLength(std::string_view text);

// DecodeUtf8 of `text`, which holds no NUL, into `out` (its memory is reused).
void DecodeUtf8Into(std::string_view text, std::wstring& out);

// Wide text to UTF-8; surrogate pairs are joined, a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(std::wstring_view text);

// The C runtime's iswspace on Windows, independent of the host's locale.
bool IsWhiteSpace(wchar_t c);

// Text with IsWhiteSpace characters removed at both ends.
std::wstring_view TrimWhiteSpace(std::wstring_view text);
