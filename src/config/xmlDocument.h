// The loaded configuration file: read, decoded and parsed when constructed.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "config/xmlElement.h"

// Reads a whole file as the C runtime's text mode delivers it and decodes it
// from UTF-8. False when the file cannot be opened; a failing read raises
// std::ios_base::failure.
bool LoadConfigText(const std::filesystem::path& path, std::wstring& text);

class xmlDocument {
public:
    // An empty path or a file that cannot be opened leaves `root` empty; text
    // the reader cannot cut apart raises xmlError (an invalid-argument error).
    explicit xmlDocument(const std::filesystem::path& path);

    bool opened = false;
    xmlElement* root = nullptr;

private:
    std::unique_ptr<xmlTree> tree;
};
