// What the menu's replacements of the standard library's error throws raise for an
// index or argument the library refuses: reported as the system's invalid-argument text.
#pragma once

#include <exception>

class LibraryError : public std::exception {
public:
    const char* what() const noexcept override { return "invalid argument"; }
};
