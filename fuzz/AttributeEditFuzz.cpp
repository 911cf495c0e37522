// The in-place attribute edit on any file: whenever it gives new bytes, they read as the
// old tree with exactly the one attribute set, only the value's place changed, and the
// edit back restores the old bytes where they are what the edit writes. The first three
// input bytes choose the element, the name and the value (see AttributeEditFault); the
// file is the bytes after them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "AttributeEditProperty.h"
#include "Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::string_view file(reinterpret_cast<const char*>(data) + 3, size - 3);
    EditOutcome outcome;
    const std::string fault = AttributeEditFault(file, data[0], data[1], data[2], outcome);
    Require(fault.empty(), fault);
    return 0;
}
