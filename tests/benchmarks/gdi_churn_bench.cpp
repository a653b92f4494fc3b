// Repeats the framework's painting and picture changes many times, so that a GDI object left
// behind by any of them shows as growth. Each phase writes a marker line to stderr before and
// after its repetitions; scripts/gdi-leak-check.sh runs the program with Wine's GDI trace on
// and reads the live count of GDI objects at each marker. On its own it prints the time per
// repetition.
//
// Usage: gdi_churn_bench [repaints]   (default 2000; picture changes are a quarter of it)

#include "framework/Font.h"
#include "framework/Form.h"
#include "framework/controls/Button.h"
#include "framework/controls/Drawing.h"
#include "framework/controls/Image.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace VelkUtility;

namespace {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A few warm-up rounds first, so that caches the system fills on first use (device contexts,
// fonts) are not counted; then the measured rounds between two markers.
void Phase(const char* name, int rounds, const std::function<void()>& round) {
    for (int i = 0; i < 5; ++i) {
        round();
    }
    Pump();
    std::fprintf(stderr, "GDI-CHURN begin %s\n", name);
    std::fflush(stderr);
    const double start = NowMs();
    for (int i = 0; i < rounds; ++i) {
        round();
    }
    Pump();
    const double elapsed = NowMs() - start;
    std::fprintf(stderr, "GDI-CHURN end %s\n", name);
    std::fflush(stderr);
    std::printf("%-34s %6d rounds  %8.1f ms  %7.3f ms/round\n", name, rounds, elapsed,
                elapsed / rounds);
    std::fflush(stdout);
}

// A 32-bit DIB section with a black (transparent) frame around a coloured square.
HBITMAP MakePicture(int size, COLORREF colour) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const std::uint32_t value =
        (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool frame = x == 0 || y == 0 || x == size - 1 || y == size - 1;
            pixels[y * size + x] = frame ? 0 : value;
        }
    }
    return bitmap;
}

// A 24-bit bitmap file of one colour, written by hand.
bool WriteBmpFile(const std::wstring& path, int width, int height, COLORREF colour) {
    const int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rowBytes * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::vector<unsigned char> data(header.biSizeImage, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* pixel = data.data() + static_cast<size_t>(y) * rowBytes + x * 3;
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
        }
    }
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out == nullptr) {
        return false;
    }
    bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                   std::fwrite(&header, sizeof(header), 1, out) == 1 &&
                   std::fwrite(data.data(), 1, data.size(), out) == data.size();
    written = std::fclose(out) == 0 && written;
    return written;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) {
        narrow += static_cast<char>(c & 0xFF);
    }
    return narrow;
}

// Sets the colours of the owner-drawn button, as the game's main window does.
class ChurnForm : public Form {
public:
    ChurnForm() : Form(GetModuleHandleW(nullptr)), brush(CreateSolidBrush(RGB(0, 0, 255))) {
        width = 420;
        height = 320;
        x = 10;
        y = 10;
        text = L"GDI churn";
    }
    ~ChurnForm() override {
        if (window != nullptr && IsWindow(window)) {
            DestroyWindow(window);
        }
        created = false;
        DeleteObject(brush);
    }
    HBRUSH OnControlColor(HDC dc) override {
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(0, 0, 255));
        return brush;
    }
    HBRUSH brush;
};

} // namespace

int main(int argc, char** argv) {
    int repaints = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (repaints < 1) {
        repaints = 2000;
    }
    const int pictureChanges = repaints / 4 > 0 ? repaints / 4 : 1;

    ChurnForm form;
    form.Create();
    if (form.window == nullptr) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    HBITMAP picture = MakePicture(16, RGB(0, 200, 0));
    HBITMAP disabledPicture = MakePicture(16, RGB(128, 128, 128));

    Button button(&form, "GIOCA");
    button.ownerDraw = true;
    button.image = picture;
    button.disabledImage = disabledPicture;
    button.SetLocation(10, 10);
    button.SetSize(120, 40);
    button.Create();

    Phase("owner-drawn button repaint", repaints, [&] {
        InvalidateRect(button.window, nullptr, TRUE);
        UpdateWindow(button.window);
    });
    Phase("owner-drawn button press/release", repaints / 2, [&] {
        SendMessageW(button.window, BM_SETSTATE, TRUE, 0);
        SendMessageW(button.window, BM_SETSTATE, FALSE, 0);
    });
    Phase("owner-drawn button disable/enable", repaints / 4, [&] {
        button.SetEnabled(false);
        UpdateWindow(button.window);
        button.SetEnabled(true);
        UpdateWindow(button.window);
    });

    // Painter operations into a memory context, and into the form's own WM_PAINT.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldCanvas = SelectObject(memory, canvas);
    Font font("Arial", 18);
    const std::string longText(1500, 'x');
    Phase("painter operations", repaints, [&] {
        Drawing painter(nullptr);
        painter.AttachDC(memory);
        painter.FillRectangle(0, 0, 300, 200, RGB(255, 0, 0));
        painter.FrameRectangle(5, 5, 290, 190, RGB(0, 0, 0));
        painter.FillRoundRectangle(20, 20, 100, 60, RGB(0, 255, 0));
        painter.DrawString(10, 10, 280, 40, std::string("Livello: 12"), AlignCenter,
                           RGB(255, 255, 255), &font);
        painter.DrawString(10, 60, 0, 0, longText, AlignLeft, RGB(0, 0, 0), nullptr);
        painter.TextHeight(&font);
        painter.DrawTransparentBitmap(30, 100, 0, 0, picture);
        painter.DrawTransparentBitmap(60, 100, 48, 48, picture);
        painter.EndPainting();
    });
    form.onPaint = [](GUIElement* element) {
        Drawing painter(element);
        painter.BeginPainting();
        painter.FillRectangle(0, 0, 400, 300, RGB(200, 200, 200));
        painter.EndPainting();
    };
    Phase("painter in WM_PAINT", repaints / 2, [&] {
        RECT below{0, 60, 400, 300};
        InvalidateRect(form.window, &below, FALSE);
        UpdateWindow(form.window);
    });
    form.onPaint = nullptr;
    SelectObject(memory, oldCanvas);
    DeleteObject(canvas);
    DeleteDC(memory);

    // Picture changes of an image, from two files and between a file and nothing.
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring suffix = std::to_wstring(GetCurrentProcessId()) + L".bmp";
    const std::wstring first = std::wstring(folder) + L"gdi-churn-a-" + suffix;
    const std::wstring second = std::wstring(folder) + L"gdi-churn-b-" + suffix;
    WriteBmpFile(first, 60, 40, RGB(10, 200, 30));
    WriteBmpFile(second, 80, 30, RGB(200, 10, 30));
    Image image(&form, -1);
    image.SetPictureFile(Narrow(first));
    image.SetLocation(10, 80);
    image.Create();
    bool flip = false;
    Phase("image picture replacement", pictureChanges, [&] {
        flip = !flip;
        image.SetPictureFile(Narrow(flip ? second : first));
        UpdateWindow(image.window);
    });
    Phase("image picture load failure", pictureChanges, [&] {
        image.SetPictureFile(Narrow(first));
        image.SetPictureFile("C:\\nowhere\\missing.bmp");
        UpdateWindow(image.window);
    });

    // Proof that the method sees a leak: brushes made and never deleted.
    Phase("reference: 20 brushes leaked", 1, [] {
        for (int i = 0; i < 20; ++i) {
            CreateSolidBrush(RGB(i, 0, 0));
        }
    });

    DeleteFileW(first.c_str());
    DeleteFileW(second.c_str());
    DeleteObject(picture);
    DeleteObject(disabledPicture);
    return 0;
}
