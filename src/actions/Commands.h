// Commands do something and hand on to one successor.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "actions/ActionServices.h"
#include "actions/MenuVariables.h"
#include "actions/TExecuteAble.h"

// "weiter" (+1) and "zurück" (-1) switch pages and wrap around at both ends.
class cmdSwitchPage : public TCommand {
public:
    cmdSwitchPage(int step, IMenuDialog* dialog) : step_(step), dialog_(dialog) {}
    bool DoCommand() override;

private:
    int step_;
    IMenuDialog* dialog_;
};

// "gotopage" shows the page of that number, counted from 1 in file order; a page that does
// not exist fails the step.
class cmdGotoPage : public TCommand {
public:
    cmdGotoPage(std::int32_t page, IMenuDialog* dialog) : page_(page), dialog_(dialog) {}
    bool DoCommand() override;
    std::wstring What() const override;
    std::int32_t Page() const { return page_; }

private:
    std::int32_t page_;
    IMenuDialog* dialog_;
};

class cmdShowMessage : public TCommand {
public:
    cmdShowMessage(std::wstring message, std::wstring caption, IMenuDialog* dialog)
        : message_(std::move(message)), caption_(std::move(caption)), dialog_(dialog) {}
    bool DoCommand() override;

private:
    std::wstring message_;
    std::wstring caption_;
    IMenuDialog* dialog_;
};

class cmdBeenden : public TCommand {
public:
    explicit cmdBeenden(IMenuDialog* dialog) : dialog_(dialog) {}
    bool DoCommand() override;

private:
    IMenuDialog* dialog_;
};

class cmdMinimize : public TCommand {
public:
    explicit cmdMinimize(IMenuDialog* dialog) : dialog_(dialog) {}
    bool DoCommand() override;

private:
    IMenuDialog* dialog_;
};

class cmdExec : public TCommand {
public:
    // Variables are put in when the step runs, not when it is built, so a file of many steps
    // costs no more than its text; with makeabsolute, the path is then joined to the
    // program's directory (departure: not once when built, which gives the same path).
    cmdExec(std::wstring path, std::wstring parameter, bool maximized, bool makeAbsolute,
            ISystemServices* system)
        : path_(std::move(path)), parameter_(std::move(parameter)), maximized_(maximized),
          makeAbsolute_(makeAbsolute), system_(system) {}
    bool DoCommand() override;
    std::wstring What() const override { return Path(); }
    std::wstring Path() const { return ExpandMenuPath(path_, makeAbsolute_, *system_, boxes_); }
    std::wstring Parameter() const { return ExpandMenuVariables(parameter_, *system_, boxes_); }
    // %CHECK:id% takes the state of the check box of that id in `boxes` when the step runs.
    void SetCheckBoxes(IMenuDialog* boxes) { boxes_ = boxes; }
    // The program starts as administrator, or is waited for with the exit code kept in
    // `exitCode` (none when the launch gave no program to wait for).
    void SetLaunch(bool elevate, bool wait, std::optional<std::uint32_t>* exitCode) {
        elevate_ = elevate;
        wait_ = wait;
        exitCode_ = exitCode;
    }
    bool Waits() const { return wait_; }
    bool Elevates() const { return elevate_; }

private:
    std::wstring path_;
    std::wstring parameter_;
    bool maximized_;
    bool makeAbsolute_;
    ISystemServices* system_;
    bool elevate_ = false;
    bool wait_ = false;
    std::optional<std::uint32_t>* exitCode_ = nullptr;
    IMenuDialog* boxes_ = nullptr;
};

// Starts the tutorial launcher by name, found by the platform's usual search.
class cmdLernprog : public TCommand {
public:
    cmdLernprog(std::wstring parameter, bool maximized, ISystemServices* system)
        : parameter_(std::move(parameter)), maximized_(maximized), system_(system) {}
    bool DoCommand() override;
    std::wstring What() const override { return L"TUTORRUN.exe"; }

private:
    std::wstring parameter_;
    bool maximized_;
    ISystemServices* system_;
};

// Joins the directory part of the program's path (up to its last backslash) and `path` as
// text; returns the path itself when both are empty.
std::wstring MakeAbsolute(const std::wstring& programPath, const std::wstring& path);
