#include "xml/xmlDocument.h"

#include "util/FileBytes.h"
#include "xml/xmlReader.h"

xmlDocument::xmlDocument(const std::wstring& path) {
    std::string bytes;
    if (path.empty() || !ReadFileBytes(path, bytes)) {
        return;
    }
    opened = true;
    tree = ParseConfigBytes(bytes);
    root = &tree->Root();
}
