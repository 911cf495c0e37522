// navora-design CONFIG: the menu's window built from CONFIG by the menu's own code, on which
// the author selects, moves, resizes and renames controls; each finished change is written
// into CONFIG in place. Nothing runs, nothing starts, no check-box state is written.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <utility>

#include "app/CNavoraDlgDesign.h"
#include "app/ToolFiles.h"
#include "util/FileBytes.h"
#include "xml/TextDecoding.h"

namespace {

constexpr int kFailure = 2;

// Keeps the message that stopped a set-up; writes nothing and starts the design once set up.
class DesignSink : public SetUpSink {
public:
    void SetUpStopped(CNavoraDlg&, const std::wstring& text, const wchar_t*) override {
        stopped_ = text;
    }
    void SetUpFailed(CNavoraDlg&, const std::wstring& text) override { stopped_ = text; }
    void WriteStartStates(const std::wstring&, const std::vector<CheckStateWrite>&) override {}
    bool ShowsWindow() const override { return true; }
    void SetUpDone(CNavoraDlg& dialog) override {
        static_cast<CNavoraDlgDesign&>(dialog).StartDesign();
    }
    const std::wstring& Stopped() const { return stopped_; }

private:
    std::wstring stopped_;
};

void PrintError(const std::wstring& text) {
    const std::string line = EncodeUtf8(L"navora-design: " + text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: navora-design CONFIG\n", stderr);
        return kFailure;
    }
    const INITCOMMONCONTROLSEX tooltips{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&tooltips);
    DesignSession session;
    session.path = FullPath(argv[1]);
    try {
        if (!ReadFileBytes(session.path, session.fileBytes)) {
            PrintError(L"cannot open " + session.path);
            return kFailure;
        }
    } catch (...) {
        PrintError(L"cannot read " + session.path);
        return kFailure;
    }
    // Pictures are found from the file's folder, as the menu finds them on the disc.
    SetCurrentDirectoryW(session.path.substr(0, session.path.find_last_of(L"\\/") + 1).c_str());
    // The view is built from a private copy: a save the menu cannot set up leaves the copy of
    // the last good one to build from.
    wchar_t folder[MAX_PATH];
    wchar_t copy[MAX_PATH];
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"nvd", 0, copy) == 0) {
        PrintError(L"cannot make a temporary file");
        return kFailure;
    }
    session.viewPath = copy;
    session.model.Load(session.fileBytes);
    std::string building = session.fileBytes;
    bool shown = false;
    int status = 0;
    for (;;) {
        if (!WriteWholeFile(session.viewPath, building)) {
            PrintError(L"cannot write " + session.viewPath);
            status = kFailure;
            break;
        }
        const std::string lastGood = std::exchange(session.viewBytes, building);
        const bool newStep = std::exchange(session.newStepBuilt, false);
        session.nextBuild.reset();
        DesignSink sink;
        CNavoraDlgDesign dialog(session, sink);
        dialog.DoModal();
        if (!sink.Stopped().empty()) {
            if (!shown) {
                PrintError(sink.Stopped());
                status = kFailure;
                break;
            }
            // A step of the view's own the menu stops on is taken back: the file stays one the
            // menu shows.
            DesignFileStore store(session.path);
            if (newStep && session.model.TakeBack(store).written) {
                session.status = L"Not written. " + sink.Stopped() + L" (the menu stops on it)";
                session.fileBytes = session.model.Bytes();
                session.viewBytes = lastGood;
                building = lastGood;
                continue;
            }
            // A save the menu stops on: the last good view again, with the menu's message.
            session.status = sink.Stopped() + L" (the view shows the last good save)";
            session.viewBytes = lastGood;
            session.model.Load(lastGood);
            session.model.Block(L"The file holds a save the view cannot show; mend it first.");
            building = lastGood;
            continue;
        }
        shown = true;
        if (!session.nextBuild) {
            break; // closed
        }
        building = std::move(*session.nextBuild);
    }
    DeleteFileW(session.viewPath.c_str());
    return status;
}
