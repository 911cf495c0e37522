// The demo disc assembled in a folder of its own, as scripts/run-demo burns it.
#pragma once

#include <filesystem>

#include "ProcessWindows.h"

// The configurations and pictures; with `programs`, the menu and the setup too.
inline void AssembleDemoDisc(const std::filesystem::path& disc, bool programs) {
    namespace fs = std::filesystem;
    const fs::path build = BuildDirectory();
    fs::remove_all(disc);
    fs::create_directories(disc);
    for (const auto& entry :
         fs::directory_iterator(fs::path(NAVORA_SOURCE_DIR) / "examples/demo")) {
        fs::copy_file(entry.path(), disc / entry.path().filename());
    }
    for (const char* asset : {"background.png", "navora.ico", "icon-play.png", "icon-document.png",
                              "button-face.png"}) {
        fs::copy_file(build / "assets" / asset, disc / asset);
    }
    if (programs) {
        fs::copy_file(MenuProgram(), disc / "navora.exe");
        fs::copy_file(build / "demo-setup.exe", disc / "setup.exe");
    }
}
