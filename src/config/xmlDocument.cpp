#include "config/xmlDocument.h"

#include "config/FileBytes.h"
#include "config/xmlReader.h"

xmlDocument::xmlDocument(const std::wstring& path) {
    std::string bytes;
    if (path.empty() || !ReadFileBytes(path, bytes)) {
        return;
    }
    opened = true;
    tree = ParseConfigBytes(bytes);
    root = &tree->Root();
}
