// The window's icons: set big and small when it opens, drawn centred while it is minimised,
// and shown while the minimised window is dragged.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/figure_dialog.h"
#include "res/resource.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/win32_test_window.h"

namespace kelvo::test {
namespace {

// A 32-bit picture to paint into, its origin moved so that an icon partly left of or above
// a small client area still shows.
class Picture {
public:
    static constexpr int kMargin = 48;

    Picture(int width, int height) : width_(width + 2 * kMargin), height_(height + 2 * kMargin) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = 0x00FF00FF;
        SetViewportOrgEx(dc_, kMargin, kMargin, nullptr);
    }
    ~Picture() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HDC Dc() const { return dc_; }
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        return std::vector<std::uint32_t>(bits_, bits_ + width_ * height_);
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

HICON MainIcon(int size) {
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(res::kIconMain), IMAGE_ICON, size, size, LR_SHARED));
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return bitmap.bmWidth;
}

class PaintTest : public ::testing::Test {
protected:
    PaintTest() {
        dialog.SetDataDirectory(dir.DataDirectory());  // no tables: the window opens empty
        window = std::make_unique<Win32TestWindow>(dialog);
    }

    TempDir dir;
    app::FigureDialog dialog;
    std::unique_ptr<Win32TestWindow> window;
};

TEST_F(PaintTest, TheWindowCarriesTheBigAndTheSmallIcon) {
    auto big = reinterpret_cast<HICON>(SendMessageA(window->Window(), WM_GETICON, ICON_BIG, 0));
    auto small = reinterpret_cast<HICON>(SendMessageA(window->Window(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(big, MainIcon(GetSystemMetrics(SM_CXICON)));
    EXPECT_EQ(small, MainIcon(GetSystemMetrics(SM_CXSMICON)));
    EXPECT_EQ(IconWidth(big), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(IconWidth(small), GetSystemMetrics(SM_CXSMICON));
}

TEST_F(PaintTest, MinimisedTheIconIsDrawnCentredOverAnErasedBackground) {
    HWND dialogWindow = window->Window();
    ShowWindow(dialogWindow, SW_MINIMIZE);
    window->Pump();
    ASSERT_TRUE(IsIconic(dialogWindow));
    EXPECT_TRUE(window->Host().IsIconic());

    RECT client{};
    GetClientRect(dialogWindow, &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;

    Picture painted(client.right, client.bottom);
    SendMessageA(dialogWindow, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(painted.Dc()), PRF_CLIENT);
    Picture expected(client.right, client.bottom);
    SendMessageA(dialogWindow, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(expected.Dc()), 0);
    DrawIcon(expected.Dc(), x, y, MainIcon(GetSystemMetrics(SM_CXICON)));
    Picture shifted(client.right, client.bottom);
    SendMessageA(dialogWindow, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(shifted.Dc()), 0);
    DrawIcon(shifted.Dc(), x + 1, y, MainIcon(GetSystemMetrics(SM_CXICON)));

    EXPECT_EQ(painted.Pixels(), expected.Pixels());
    EXPECT_NE(painted.Pixels(), shifted.Pixels());  // the comparison sees the icon's place
}

TEST_F(PaintTest, NotMinimisedNoIconIsDrawn) {
    ASSERT_FALSE(IsIconic(window->Window()));
    Picture untouched(8, 8);
    Picture painted(8, 8);
    SendMessageA(window->Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(painted.Dc()), PRF_CLIENT);
    EXPECT_EQ(painted.Pixels(), untouched.Pixels());
}

TEST_F(PaintTest, DraggingTheMinimisedWindowShowsTheSameIcon) {
    ShowWindow(window->Window(), SW_MINIMIZE);
    window->Pump();
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window->Window(), WM_QUERYDRAGICON, 0, 0)),
              MainIcon(GetSystemMetrics(SM_CXICON)));
}

}  // namespace
}  // namespace kelvo::test
