// The words for an error that ends the set-up from the configuration file.
#pragma once

#include <windows.h>

#include <string>

#include "util/FileBytes.h"
#include "win/ErrorReport.h"

// The text for the exception being handled: a read that the medium failed after the file
// opened (a bad sector) in the system's own words for its error code, every other error
// as the generic report words it.
inline std::wstring SetUpErrorText() {
    try {
        throw;
    } catch (const FileReadError& e) {
        return SystemMessage(e.code != 0 ? e.code : static_cast<DWORD>(E_FAIL));
    } catch (...) {
        return CurrentExceptionText();
    }
}
