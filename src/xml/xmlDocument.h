// The loaded configuration file: read, decoded and parsed when constructed.
#pragma once

#include <memory>
#include <string>

#include "xml/xmlElement.h"

class xmlDocument {
public:
    // An empty path or a file that cannot be opened leaves `root` empty; text
    // the reader cannot cut apart raises xmlError, a failing read FileReadError.
    explicit xmlDocument(const std::wstring& path);

    bool opened = false;
    xmlElement* root = nullptr;

private:
    std::unique_ptr<xmlTree> tree;
};
