// One node of the configuration's element tree.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class xmlElement {
public:
    xmlElement() = default;
    xmlElement(const xmlElement&) = delete;
    xmlElement& operator=(const xmlElement&) = delete;
    // Destroys the subtree without recursion, so any depth is safe.
    ~xmlElement();

    const std::wstring& GetName() const { return name; }
    // Value of the first attribute whose name equals `attrName` with A-Z lower-cased; else empty.
    std::wstring GetAttribute(std::wstring_view attrName) const;
    std::size_t GetChildCount() const { return children.size(); }
    xmlElement* GetChild(std::size_t i) const { return children[i].get(); }

    const std::vector<std::wstring>& AttributeNames() const { return attributeNames; }
    const std::vector<std::wstring>& AttributeValues() const { return attributeValues; }

    void SetName(std::wstring text) { name = std::move(text); }
    // Stores the name with A-Z lower-cased and the value with each backslash-quote as a quote.
    void AddAttribute(std::wstring_view attrName, std::wstring_view value);
    xmlElement* AddChild(std::unique_ptr<xmlElement> element);

private:
    friend xmlElement* FindChild(const xmlElement* element, std::wstring_view name);

    std::wstring name;
    std::vector<std::wstring> attributeNames;
    std::vector<std::wstring> attributeValues;
    std::vector<std::unique_ptr<xmlElement>> children;
};

// The first direct child named exactly `name`, or none; none also for no element.
xmlElement* FindChild(const xmlElement* element, std::wstring_view name);

// A-Z become a-z; every other character stays as it is.
std::wstring LowerAsciiLetters(std::wstring_view text);
