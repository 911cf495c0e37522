// The design model on any file and any input sequence, with outside saves between the steps:
// the file always reads as the model's controls, each write stays inside the controls it
// touches, and undoing every step gives the bytes last loaded. The first byte says how many
// pairs of input bytes follow; the file is the bytes after them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "DesignModelProperty.h"
#include "Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t inputs = std::min<std::size_t>(2u * data[0], size - 1);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t writes = 0;
    const std::string fault =
        DesignSequenceFault(bytes.substr(inputs), bytes.substr(0, inputs), writes);
    Require(fault.empty(), fault);
    return 0;
}
