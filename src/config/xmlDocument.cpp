#include "config/xmlDocument.h"

#include <fstream>
#include <iterator>

#include "config/TextDecoding.h"
#include "config/xmlReader.h"

bool LoadConfigText(const std::filesystem::path& path, std::wstring& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw std::ios_base::failure("the configuration file could not be read");
    }
    text = DecodeConfigText(bytes);
    return true;
}

xmlDocument::xmlDocument(const std::filesystem::path& path) {
    if (path.empty()) {
        return;
    }
    std::wstring text;
    opened = LoadConfigText(path, text);
    if (opened) {
        tree = ParseXmlText(text);
        root = &tree->Root();
    }
}
