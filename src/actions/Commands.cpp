#include "actions/Commands.h"

#include "actions/MenuVariables.h"

bool cmdSwitchPage::DoCommand() {
    // The page count is read now, not when the command was built: the quit
    // button's chain is built before the pages are counted.
    const int count = dialog_->PageCount();
    int page = dialog_->CurrentPage() + step_;
    if (page >= count) {
        page = 0;
    }
    if (page < 0) {
        page = count - 1;
    }
    dialog_->SetCurrentPage(page);
    return true;
}

bool cmdGotoPage::DoCommand() {
    // The count is read now, as for "weiter": the quit button's chain is built before it.
    if (page_ < 1 || page_ > dialog_->PageCount()) {
        return false;
    }
    dialog_->SetCurrentPage(page_ - 1);
    return true;
}

std::wstring cmdGotoPage::What() const {
    // Decimal by hand: the menu links no printf family.
    std::wstring digits;
    auto n = page_ < 0 ? 0u - static_cast<std::uint32_t>(page_) : static_cast<std::uint32_t>(page_);
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + n % 10));
        n /= 10;
    } while (n != 0);
    return L"gotopage page=\"" + std::wstring(page_ < 0 ? L"-" : L"") + digits + L"\"";
}

bool cmdShowMessage::DoCommand() {
    dialog_->ShowMessageBox(message_, caption_, kMbOk);
    return true;
}

bool cmdBeenden::DoCommand() {
    if (dialog_ == nullptr) {
        return false;
    }
    dialog_->EndWithOk();
    return true;
}

bool cmdMinimize::DoCommand() {
    if (dialog_ == nullptr) {
        return false;
    }
    dialog_->Minimize();
    return true;
}

namespace {

// Says whether Windows takes a launch at all: a file name shorter than MAX_PATH (260) unless
// it starts with "\\?\", and a command line (the file in quotes, a space, the parameters and the
// terminating zero) of at most 32,767 characters. Beyond that the shell is never asked: some
// shells fail inside on it.
bool FitsWindows(const std::wstring& file, const std::wstring& parameters) {
    constexpr std::size_t kMaxPath = 260;
    constexpr std::size_t kMaxCommandLine = 32767;
    return (file.size() < kMaxPath || file.rfind(L"\\\\?\\", 0) == 0) &&
           file.size() + parameters.size() + 4 <= kMaxCommandLine;
}

} // namespace

std::wstring MakeAbsolute(const std::wstring& programPath, const std::wstring& path) {
    const std::size_t slash = programPath.rfind(L'\\');
    const std::wstring joined =
        (slash == std::wstring::npos ? std::wstring() : programPath.substr(0, slash + 1)) + path;
    return joined.empty() ? path : joined;
}

bool cmdExec::DoCommand() {
    const std::wstring path = Path();
    const std::wstring parameter = Parameter();
    // An empty path names nothing to start: the launch fails without asking the shell.
    if (path.empty() || !FitsWindows(path, parameter)) {
        return false;
    }
    if (!elevate_ && !wait_) {
        return system_->StartFile(path, parameter, maximized_);
    }
    std::optional<std::uint32_t> code;
    const bool started = system_->RunFile(path, parameter, {maximized_, elevate_, wait_}, code);
    if (wait_ && exitCode_ != nullptr) {
        *exitCode_ = started ? code : std::nullopt;
    }
    return started;
}

bool cmdLernprog::DoCommand() {
    const std::wstring tutor = What();
    return FitsWindows(tutor, parameter_) && system_->StartFile(tutor, parameter_, maximized_);
}
