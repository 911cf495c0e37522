// These replace the standard library's own error throws in the menu program. The library's
// versions raise std::logic_error and its kin, whose reference-counted message strings
// would bring some 80 KB into a menu that must stay small, and whose texts are English
// or raw format strings. These raise a plain std::exception, which the error report shows
// as the system's invalid-argument text, and a length beyond what memory holds as
// exhausted memory.
#include <cxxabi.h>

#include <exception>
#include <new>

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

void __throw_length_error(const char*) {
    throw bad_alloc();
}

void __throw_logic_error(const char*) {
    throw exception();
}

void __throw_out_of_range(const char*) {
    throw exception();
}

void __throw_out_of_range_fmt(const char*, ...) {
    throw exception();
}

void __throw_invalid_argument(const char*) {
    throw exception();
}

} // namespace std

// The library keeps the exception being handled per thread, through emulated thread-local
// storage (some 1.5 KB). The menu runs its code on one thread, so one record serves.
namespace __cxxabiv1 {

namespace {
struct {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
} exceptionGlobals;
} // namespace

extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept {
    return reinterpret_cast<__cxa_eh_globals*>(&exceptionGlobals);
}

extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept {
    return reinterpret_cast<__cxa_eh_globals*>(&exceptionGlobals);
}

} // namespace __cxxabiv1
