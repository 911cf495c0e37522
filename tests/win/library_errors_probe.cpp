// Links the menu's own replacements of the standard library's error throws and checks
// that each library error still arrives as a std::exception with its message, and
// memory errors as std::bad_alloc. Exit status: the number of cases that went wrong.
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

template <typename Error, typename Work> int Fails(Work work) {
    try {
        work();
    } catch (const Error& e) {
        return std::strlen(e.what()) == 0 ? 1 : 0;
    } catch (...) {
        return 1;
    }
    return 1;
}

} // namespace

int main() {
    volatile std::size_t beyond = 5;
    volatile std::size_t huge = static_cast<std::size_t>(-1) / 2;
    int failed = 0;
    failed += Fails<std::exception>([&] { (void)std::string("ab").substr(beyond); });
    failed += Fails<std::exception>([&] { (void)std::vector<int>(2).at(beyond); });
    failed += Fails<std::exception>([&] { std::wstring().reserve(huge); });
    failed += Fails<std::exception>([&] { std::string("ab").insert(beyond, "x"); });
    failed += Fails<std::bad_alloc>([&] { std::vector<double>().reserve(huge / 16); });
    failed += Fails<std::bad_alloc>([&] { delete[] new char[huge][64]; });
    return failed;
}
