// These words report an error that ends the set-up from the configuration file.
#pragma once

#include <windows.h>

#include <string>

#include "util/FileBytes.h"
#include "win/ErrorReport.h"

// Returns the text for the exception being handled. A read that the medium failed after the
// file opened (a bad sector) gets the system's words for its error code; every other error
// gets the generic report's words.
inline std::wstring SetUpErrorText() {
    try {
        throw;
    } catch (const FileReadError& e) {
        return SystemMessage(e.code != 0 ? e.code : static_cast<DWORD>(E_FAIL));
    } catch (...) {
        return CurrentExceptionText();
    }
}
