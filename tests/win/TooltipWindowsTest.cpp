// The tooltip windows on a real parent window, under Wine with a display.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "tooltips/BtnToolTipp.h"
#include "tooltips/StaticToolTipp.h"
#include "tooltips/TTEdit.h"

namespace {

// A plain window that stands in for the dialog: 400 x 300 client area at (100, 100).
class Parent {
public:
    explicit Parent(DWORD style = WS_POPUP | WS_VISIBLE) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"NavoraTestParent";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", style, 100, 100, 400, 300, nullptr,
                               nullptr, wc.hInstance, nullptr);
    }
    ~Parent() { DestroyWindow(hwnd); }
    HWND hwnd;
};

// A button stand-in: a child window with an id and a tooltip text.
class FakeButton : public TipButton {
public:
    FakeButton(HWND parent, int id, RECT r, std::wstring tip) : id_(id), tip_(std::move(tip)) {
        hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    HWND GetTipAnchor() const override { return hwnd_; }
    int GetControlId() const override { return id_; }
    const std::wstring& GetTooltipText() const override { return tip_; }

private:
    HWND hwnd_;
    int id_;
    std::wstring tip_;
};

RECT InParent(HWND window, HWND parent) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Describe(HWND window, HWND parent) {
    const RECT r = InParent(window, parent);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) +
           (IsWindowVisible(window) ? " shown" : " hidden");
}

TEST(StaticTip, ShowsEveryTextInItsFixedPlace) {
    const Parent parent;
    ASSERT_NE(parent.hwnd, nullptr) << "no display";
    StaticToolTipp tip(parent.hwnd, 10, 20, 200, 50, nullptr);
    const HWND w = tip.GetTipWindow();
    EXPECT_EQ(GetDlgCtrlID(w), kTipWindowId);
    EXPECT_EQ(Describe(w, parent.hwnd), "10,20 200x50 hidden");
    EXPECT_EQ(tip.GetCurrentId(), 0);
    tip.SetTip(101, L"Installiert das Programm");
    EXPECT_EQ(Describe(w, parent.hwnd), "10,20 200x50 shown");
    tip.SetTip(kNoTipId, L"");
    EXPECT_EQ(Describe(w, parent.hwnd), "10,20 200x50 hidden");
    tip.SetTip(102, L"Zweiter Text");
    EXPECT_EQ(tip.GetCurrentId(), 102);
    EXPECT_EQ(Describe(w, parent.hwnd), "10,20 200x50 shown");
}

TEST(ButtonTip, SlidesOutTickByTickAndBack) {
    const Parent parent;
    ASSERT_NE(parent.hwnd, nullptr) << "no display";
    FakeButton right(parent.hwnd, 100, {250, 40, 350, 70}, L"rechts");
    FakeButton left(parent.hwnd, 101, {20, 100, 120, 130}, L"links");
    FakeButton silent(parent.hwnd, 102, {20, 200, 120, 230}, L"");
    BtnToolTipp tip(parent.hwnd, 0, 0, 100, 20, 10000, 7);
    for (TipButton* b : std::initializer_list<TipButton*>{&right, &left, &silent}) {
        tip.AddButton(b);
    }
    // No window before a button's first tip.
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(tip.GetTipWindow(i), nullptr) << i;
    }

    // Too little room right of the first button: its strip grows leftwards from x 250,
    // stacked right below its button as if made with it.
    tip.SetTip(100, L"");
    EXPECT_EQ(Describe(tip.GetTipWindow(0), parent.hwnd), "250,40 0x20 shown");
    EXPECT_EQ(GetWindow(right.GetTipAnchor(), GW_HWNDNEXT), tip.GetTipWindow(0));
    EXPECT_EQ(GetWindow(tip.GetTipWindow(0), GW_HWNDNEXT), left.GetTipAnchor());
    for (int tick = 1; tick <= 15; ++tick) {
        tip.OnTipTimer(100 + kTipTimerOffset);
    }
    EXPECT_EQ(Describe(tip.GetTipWindow(0), parent.hwnd), "150,40 100x20 shown");
    // The strip is sunken: a 2-pixel client edge inside its window rectangle.
    RECT client;
    GetClientRect(tip.GetTipWindow(0), &client);
    EXPECT_EQ(client.right, 96);
    EXPECT_EQ(client.bottom, 16);
    EXPECT_NE(GetWindowLongPtrW(tip.GetTipWindow(0), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    tip.OnTipTimer(101 + kTipTimerOffset); // the other strip was never asked for: none made
    EXPECT_EQ(tip.GetTipWindow(1), nullptr);

    // Moving to the second button: the first strip retracts while the second grows.
    tip.SetTip(kNoTipId, L"");
    tip.SetTip(101, L"");
    tip.OnTipTimer(100 + kTipTimerOffset);
    tip.OnTipTimer(101 + kTipTimerOffset);
    EXPECT_EQ(Describe(tip.GetTipWindow(0), parent.hwnd), "157,40 93x20 shown");
    EXPECT_EQ(Describe(tip.GetTipWindow(1), parent.hwnd), "70,100 7x20 shown");
    for (int tick = 0; tick < 14; ++tick) {
        tip.OnTipTimer(100 + kTipTimerOffset);
    }
    EXPECT_EQ(Describe(tip.GetTipWindow(0), parent.hwnd), "250,40 0x20 hidden");

    // No text, no strip; unknown ids and ticks change nothing.
    tip.SetTip(102, L"");
    tip.SetTip(555, L"");
    tip.OnTipTimer(555 + kTipTimerOffset);
    EXPECT_EQ(tip.GetTipWindow(2), nullptr);
}

std::string OnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) +
           (IsWindowVisible(window) ? " shown" : " hidden");
}

TEST(CursorTip, AppearsAtTheCursorOrJumpsClear) {
    // A dialog with a caption bar: the box still lies exactly at the cursor.
    const Parent parent(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    ASSERT_NE(parent.hwnd, nullptr) << "no display";
    CursorToolTipp tip(parent.hwnd, 0, 0, 150, 40, nullptr);
    const HWND w = tip.GetTipWindow();
    EXPECT_EQ(Describe(w, parent.hwnd), "0,0 150x40 hidden");
    EXPECT_FALSE(IsWindowEnabled(w));
    SetCursorPos(200, 150);
    tip.SetTip(100, L"am Zeiger");
    EXPECT_EQ(OnScreen(w), "200,150 150x40 shown");
    SetCursorPos(400, 150); // 100 pixels from the frame's right edge: W + 30 to the left
    tip.SetTip(101, L"links davon");
    EXPECT_EQ(OnScreen(w), "220,150 150x40 shown");
    SetCursorPos(200, 380); // too near the bottom: H + 30 above
    tip.SetTip(102, L"dar\u00fcber");
    EXPECT_EQ(OnScreen(w), "200,310 150x40 shown");
    tip.SetTip(kNoTipId, L"");
    EXPECT_EQ(OnScreen(w), "200,310 150x40 hidden");
}

TEST(TipText, PaintsBackgroundAndTextColours) {
    const Parent parent;
    ASSERT_NE(parent.hwnd, nullptr) << "no display";
    TTEdit edit(parent.hwnd, WS_CHILD | WS_VISIBLE, 0, {0, 0, 200, 80});
    const UniqueFont font(CreateFontW(40, 0, 0, 0, 1020, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      FF_SWISS, L"Arial"));
    edit.SetFont(font.get());
    edit.SetBackground(RGB(255, 255, 225));
    edit.SetTextColor(RGB(0, 0, 128));
    edit.SetEditText(L"MMMM\nMMMM");
    const WindowDc screen(parent.hwnd);
    const UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 200, 80));
    const SelectGuard selected(dc.get(), bitmap.get());
    edit.PaintContent(dc.get());
    int text = 0;
    int background = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 200; ++x) {
            const COLORREF c = GetPixel(dc.get(), x, y);
            text += c == RGB(0, 0, 128);
            background += c == RGB(255, 255, 225);
        }
    }
    EXPECT_GT(text, 200);            // the glyphs are there, in the text colour
    EXPECT_GT(background, 200 * 40); // and most of the area is background
    // The 8-pixel margin stays background.
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(GetPixel(dc.get(), i, 40), RGB(255, 255, 225));
        EXPECT_EQ(GetPixel(dc.get(), 100, i), RGB(255, 255, 225));
    }
}

} // namespace
