// A broken property is a finding: say which, then abort so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

inline void Require(bool holds, const std::string& what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what.c_str());
        std::abort();
    }
}
