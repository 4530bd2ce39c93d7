// The window's icons: set big and small when it opens, drawn centred while it is minimised,
// and shown while the minimised window is dragged; pages drawn by GDI on a printer.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// First: <windows.h> renames DrawText, and every header must see the same name.
#include "platform/win32/gdi_page_canvas.h"
#include "app/figure_dialog.h"
#include "platform/ansi_text.h"
#include "res/resource.h"
#include "results/print_pages.h"
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

// A printer of the test's own: Wine's PostScript driver on a minimal A4 description. Wine
// without a print server offers no printer at all, and its driver reads the description only
// from the spooler's driver folder. Null, with `reason`, when the spooler refuses.
HDC TestPrinter(std::string& reason) {
    static constexpr char kPpd[] =
        "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageVersion: English\n"
        "*LanguageEncoding: ISOLatin1\n*ModelName: \"kelvo test\"\n*NickName: \"kelvo test\"\n"
        "*LanguageLevel: \"2\"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n*TTRasterizer: Type42\n"
        "*DefaultResolution: 300dpi\n*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
        "*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n*CloseUI: *PageSize\n"
        "*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"18 18 577 824\"\n"
        "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n";
    wchar_t folder[MAX_PATH];
    DWORD size = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &size))
        return reason = "no printer driver folder: error " + std::to_string(GetLastError()), nullptr;
    std::ofstream(std::filesystem::path(folder) / "kelvo-test.ppd", std::ios::binary) << kPpd;
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t*>(L"kelvo test PostScript");
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t*>(L"kelvo-test.ppd");
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver)))
        return reason = "AddPrinterDriver refused: error " + std::to_string(GetLastError()), nullptr;
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = const_cast<wchar_t*>(L"kelvo test");
    printer.pPortName = const_cast<wchar_t*>(L"FILE:");
    printer.pDriverName = driver.pName;
    printer.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    printer.pDatatype = const_cast<wchar_t*>(L"RAW");
    // A second run in the same prefix finds the printer there already.
    if (HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer))) ClosePrinter(added);
    HDC dc = CreateDCW(L"WINSPOOL", printer.pPrinterName, nullptr, nullptr);
    if (!dc) reason = "no device context for the PostScript printer: error " + std::to_string(GetLastError());
    return dc;
}

// The sheet drawn on a printer into a file: every page laid out becomes a page of the file.
TEST(PrintToFile, EveryPageOfTheSheetReachesThePrinterFile) {
    std::string reason;
    HDC dc = TestPrinter(reason);
    if (!dc) GTEST_SKIP() << reason;
    results::ResultTable rows;
    for (int i = 1; i <= 130; ++i) {
        results::ResultRow& row = rows.Append();
        row.cells = {std::to_string(i), std::string(platform::AnsiText(u8"Обхват груди третий").view()), "91.5", "0.3", "2.1", ""};
    }
    rows[3].edited = true;
    TempDir dir;
    const std::filesystem::path file = dir / "sheet.ps";
    std::size_t laidOut = 0;
    bool drawn = false;
    {
        platform::win32::GdiPageCanvas canvas(dc, file.wstring());
        const platform::PageSet pages = results::LayOutSheet(rows, {"kelvo", {}}, canvas);
        laidOut = pages.pages.size();
        drawn = platform::DrawPages(pages, canvas);
    }
    DeleteDC(dc);
    ASSERT_TRUE(drawn);
    EXPECT_GE(laidOut, 2u);
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in) << "no printer file";
    std::string line;
    std::size_t pages = 0;
    while (std::getline(in, line)) pages += line.rfind("%%Page:", 0) == 0 ? 1 : 0;
    EXPECT_EQ(pages, laidOut);
}

}  // namespace
}  // namespace kelvo::test
