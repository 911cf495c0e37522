#include "config/xmlDocument.h"

#include "config/FileBytes.h"
#include "config/TextDecoding.h"
#include "config/xmlReader.h"

xmlDocument::xmlDocument(const std::wstring& path) {
    std::string bytes;
    if (path.empty() || !ReadFileBytes(path, bytes)) {
        return;
    }
    opened = true;
    tree = ParseXmlText(DecodeConfigText(bytes));
    root = &tree->Root();
}
