// The standard library's own error throws, for the menu program. The library's
// versions raise std::logic_error and its kin, whose reference-counted message strings
// would bring some 80 KB into a menu that must stay small; these raise a plain
// std::exception with the same message (a format's text unformatted), which the
// error report shows the same way.
#include <exception>
#include <new>

namespace {

class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* what) : what_(what) {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;
};

} // namespace

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

void __throw_length_error(const char* what) {
    throw LibraryError(what);
}

void __throw_logic_error(const char* what) {
    throw LibraryError(what);
}

void __throw_out_of_range(const char* what) {
    throw LibraryError(what);
}

void __throw_out_of_range_fmt(const char* format, ...) {
    throw LibraryError(format);
}

void __throw_invalid_argument(const char* what) {
    throw LibraryError(what);
}

} // namespace std
