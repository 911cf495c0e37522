// What navora-pack asks of the system: its own path, and a program run to its end.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

// The running program's own file.
std::filesystem::path OwnProgramPath();

// Runs `args[0]`, found on the search path, with the rest as its arguments, and waits for it;
// its exit code, or none when it cannot be started (not installed).
std::optional<int> RunAndWait(const std::vector<std::filesystem::path>& args);
