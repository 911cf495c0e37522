// navora-proof CONFIG OUTDIR paints every page and every control under the mouse with the
// menu's own dialog, controls and tooltips. They are built exactly as the menu builds them
// but never shown; nothing runs and the configuration is not written.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/CNavoraDlg.h"
#include "app/ToolFiles.h"
#include "tools/DiskFiles.h"
#include "tools/PngWriter.h"
#include "tools/Walk.h"
#include "win/Gdi.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

constexpr int kFailure = 2;
constexpr int kSheetColumns = 3;
constexpr int kSheetGap = 16;
constexpr int kSheetLabel = 24;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Escapes UTF-8 text for an HTML page.
std::string HtmlText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Escapes the menu's text for an HTML page and keeps its line breaks.
std::string Html(std::wstring_view text) {
    std::string lines;
    for (const char c : HtmlText(EncodeUtf8(text))) {
        lines += c == '\n' ? std::string("<br>") : std::string(1, c);
    }
    return lines;
}

// A canvas is a bitmap compatible with the screen, as the menu's windows paint onto it. The
// screen's context is released once the canvas is made.
class Canvas {
public:
    Canvas(int width, int height, const WindowDc& screen = WindowDc(nullptr))
        : width_(width), height_(height), dc_(CreateCompatibleDC(screen.get())),
          bitmap_(CreateCompatibleBitmap(screen.get(), width, height)),
          select_(dc_.get(), bitmap_.get()) {}

    HDC Dc() const { return dc_.get(); }

    Picture Read() const {
        Picture picture{width_, height_, {}};
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_; // rows run from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width_) * height_ * 4);
        GdiFlush();
        GetDIBits(dc_.get(), bitmap_.get(), 0, static_cast<UINT>(height_), bgra.data(), &info,
                  DIB_RGB_COLORS);
        picture.rgb.reserve(static_cast<std::size_t>(width_) * height_ * 3);
        for (std::size_t i = 0; i < bgra.size(); i += 4) {
            picture.rgb.push_back(bgra[i + 2]);
            picture.rgb.push_back(bgra[i + 1]);
            picture.rgb.push_back(bgra[i]);
        }
        return picture;
    }

private:
    int width_;
    int height_;
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    SelectGuard select_; // holds the bitmap until the context is deleted
};

// Walks each control's chain with the default facts, by page (0: the quit button) and control.
std::map<std::pair<int, int>, std::string> DefaultWalks(const std::wstring& config) {
    std::map<std::pair<int, int>, std::string> walks;
    std::ifstream in(std::filesystem::path(config), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::wstring text = DecodeConfigText(bytes);
    const auto tree = ParseXmlText(text);
    DiskFiles files(std::filesystem::path(config).parent_path());
    for (const ControlWalk& walk : WalkMenu(*tree, text, WalkFacts{}, files)) {
        walks[{walk.page, walk.control}] = WalkText({walk});
    }
    return walks;
}

// Takes the pictures once the hidden dialog is set up, and keeps the first message that
// stopped the set-up. It writes no check-box state.
class ProofWriter : public SetUpSink {
public:
    ProofWriter(std::wstring config, std::wstring outDir)
        : config_(std::move(config)), outDir_(std::move(outDir)) {}

    void SetUpStopped(CNavoraDlg&, const std::wstring& text, const wchar_t*) override {
        Stopped(text);
    }
    void SetUpFailed(CNavoraDlg&, const std::wstring& text) override { Stopped(text); }
    void WriteStartStates(const std::wstring&, const std::vector<CheckStateWrite>&) override {}
    bool ShowsWindow() const override { return false; }

    void SetUpDone(CNavoraDlg& dialog) override {
        Render(dialog);
        dialog.EndWithOk();
    }

    const std::wstring& StoppedMessage() const { return stopped_; }
    bool Failed() const { return failed_; }

private:
    void Render(CNavoraDlg& dialog) {
        RECT client;
        GetClientRect(dialog.Handle(), &client);
        const int width = client.right;
        const int height = client.bottom;
        std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
                           Html(WindowTitle(dialog.Handle())) + "</title></head><body>\n<h1>" +
                           Html(WindowTitle(dialog.Handle())) +
                           "</h1>\n<p><img src=\"sheet.png\" alt=\"all pages\"></p>\n";
        // The menu read the file just now; the walk reads the same bytes.
        const auto walks = DefaultWalks(config_);
        const auto walkOf = [&](int page, int control) {
            const auto found = walks.find({page, control});
            return found == walks.end() ? std::string() : found->second;
        };
        html += "<p>Chains as navora-check --walk shows them with its default facts. The quit "
                "button, on every page:</p>\n<pre>" +
                HtmlText(walkOf(0, 1)) + "</pre>\n";
        std::vector<Picture> pages;
        const int pageCount = std::max(1, dialog.PageCount());
        for (int page = 0; page < pageCount; ++page) {
            const std::wstring name = L"page-" + std::to_wstring(page + 1);
            dialog.ShowPageForProof(page);
            pages.push_back(Paint(dialog, width, height));
            Save(name + L".png", pages.back());
            html += "<h2>Page " + std::to_string(page + 1) + "</h2>\n<p><img src=\"" +
                    EncodeUtf8(name) + ".png\" alt=\"page " + std::to_string(page + 1) +
                    "\"></p>\n<table border=\"1\" cellpadding=\"4\">\n"
                    "<tr><th>Control</th><th>Caption</th><th>Tooltip</th><th>Under the mouse</th>"
                    "<th>Chain</th></tr>\n";
            const std::vector<TButton*> controls = dialog.PageControls(page);
            for (std::size_t k = 0; k < controls.size(); ++k) {
                const std::wstring hover = name + L"-" + std::to_wstring(k + 1) + L"-hover.png";
                dialog.HoverForProof(controls[k]);
                Save(hover, Paint(dialog, width, height));
                dialog.EndHoverForProof();
                html += "<tr><td>" + std::to_string(k + 1) + "</td><td>" +
                        Html(WindowTitle(controls[k]->Handle())) + "</td><td>" +
                        Html(controls[k]->GetTooltipText()) + "</td><td><img src=\"" +
                        EncodeUtf8(hover) + "\" alt=\"control " + std::to_string(k + 1) +
                        " under the mouse\"></td><td><pre>" +
                        HtmlText(walkOf(page + 1, static_cast<int>(k + 1))) + "</pre></td></tr>\n";
            }
            html += "</table>\n";
        }
        Save(L"sheet.png", Sheet(pages));
        html += "</body></html>\n";
        if (!WriteWholeFile(outDir_ + L"\\index.html", html)) {
            failed_ = true;
        }
    }

    void Stopped(const std::wstring& message) {
        if (stopped_.empty()) {
            stopped_ = message;
        }
    }

    static std::wstring WindowTitle(HWND window) {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    static Picture Paint(const CNavoraDlg& dialog, int width, int height) {
        const Canvas canvas(width, height);
        dialog.PrintClient(canvas.Dc());
        return canvas.Read();
    }

    // Lays out all pages at half their size, three in a row, each under its number.
    static Picture Sheet(const std::vector<Picture>& pages) {
        const int w = std::max(1, pages[0].width / 2);
        const int h = std::max(1, pages[0].height / 2);
        const int columns = std::min(kSheetColumns, static_cast<int>(pages.size()));
        const int rows = (static_cast<int>(pages.size()) + columns - 1) / columns;
        const int sheetWidth = columns * (w + kSheetGap) + kSheetGap;
        const int sheetHeight = rows * (h + kSheetLabel + kSheetGap) + kSheetGap;
        const Canvas sheet(sheetWidth, sheetHeight);
        const RECT all{0, 0, sheetWidth, sheetHeight};
        FillRect(sheet.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetStretchBltMode(sheet.Dc(), HALFTONE);
        SelectObject(sheet.Dc(), GetStockObject(DEFAULT_GUI_FONT));
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const int x = kSheetGap + static_cast<int>(i % columns) * (w + kSheetGap);
            const int y = kSheetGap + static_cast<int>(i / columns) * (h + kSheetLabel + kSheetGap);
            RECT label{x, y, x + w, y + kSheetLabel};
            const std::wstring text = L"Page " + std::to_wstring(i + 1);
            DrawTextW(sheet.Dc(), text.c_str(), -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = pages[i].width;
            info.bmiHeader.biHeight = -pages[i].height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            std::vector<std::uint8_t> bgra;
            for (std::size_t p = 0; p < pages[i].rgb.size(); p += 3) {
                bgra.insert(bgra.end(),
                            {pages[i].rgb[p + 2], pages[i].rgb[p + 1], pages[i].rgb[p], 0});
            }
            StretchDIBits(sheet.Dc(), x, y + kSheetLabel, w, h, 0, 0, pages[i].width,
                          pages[i].height, bgra.data(), &info, DIB_RGB_COLORS, SRCCOPY);
        }
        return sheet.Read();
    }

    void Save(const std::wstring& name, const Picture& picture) {
        if (!WriteWholeFile(outDir_ + L"\\" + name,
                            EncodePng(picture.width, picture.height, picture.rgb))) {
            failed_ = true;
        }
    }

    std::wstring config_;
    std::wstring outDir_;
    std::wstring stopped_;
    bool failed_ = false;
};

void PrintLine(FILE* stream, const std::wstring& text) {
    const std::string line = EncodeUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: navora-proof CONFIG OUTDIR\n"
                   "  Writes page-N.png, page-N-K-hover.png, sheet.png and index.html.\n",
                   stderr);
        return kFailure;
    }
    const std::wstring config = FullPath(argv[1]);
    const std::wstring outDir = FullPath(argv[2]);
    CreateDirectoryW(outDir.c_str(), nullptr);
    ProofWriter writer(config, outDir);
    CNavoraDlg dialog(config, writer);
    dialog.DoModal();
    if (!writer.StoppedMessage().empty()) {
        PrintLine(stderr, writer.StoppedMessage());
        return kFailure;
    }
    if (writer.Failed()) {
        PrintLine(stderr, L"navora-proof: cannot write into " + outDir);
        return kFailure;
    }
    PrintLine(stdout, outDir + L"\\sheet.png");
    return 0;
}
