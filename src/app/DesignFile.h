// The design view's writes of the author's file: new bytes replace it safely.
#pragma once

#include <string>

#include "design/ControlBytes.h"
#include "design/DesignModel.h"

// Replaces the file at `path` by `bytes` with the check-box write-back's safety, only while it
// still holds `expected`. Empty on success, else the reason the file was left as it was.
std::wstring WriteDesignedBytes(const std::wstring& path, const std::string& expected,
                                const std::string& bytes);

// The author's file as the model's store.
class DesignFileStore : public DesignStore {
public:
    explicit DesignFileStore(const std::wstring& path) : path_(path) {}
    std::wstring Replace(const std::string& expected, const std::string& bytes) override {
        return WriteDesignedBytes(path_, expected, bytes);
    }

private:
    const std::wstring& path_;
};
