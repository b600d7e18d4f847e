#include "tests/e2e/Pictures.h"

#include <wincodec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>

#include "tests/e2e/Harness.h"

namespace e2e {

namespace {

// The references are made in the same pinned set-up as the tests run in
// (tools/wine-display.sh: Wine, fonts, prefix settings, screen), where the
// same state gives the same pixels. The margin only absorbs rounding at the
// edge of a glyph that another build of the same font rasteriser might
// shade a step differently: a pixel counts as equal when no channel differs
// by more than kChannelTolerance, and a picture as equal when at most
// kDifferingPixels pixels differ. The smallest fault worth seeing, a
// button's default border or a focus rectangle, is a line round a control:
// well over a hundred pixels.
constexpr int kChannelTolerance = 8;
constexpr int kDifferingPixels = 10;

template <class T>
struct Com {
    T* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
};

IWICImagingFactory* Factory() {
    static IWICImagingFactory* factory = [] {
        IWICImagingFactory* f = nullptr;
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           reinterpret_cast<void**>(&f));
        return f;
    }();
    return factory;
}

std::wstring OwnFolder() {
    wchar_t own[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring folder(own, n);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring ReferenceFolder() {
    std::wstring relative = L"" K307_PICTURES_RELATIVE L"/";
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    wchar_t full[MAX_PATH];
    DWORD n = ::GetFullPathNameW((OwnFolder() + relative).c_str(), MAX_PATH, full, nullptr);
    return std::wstring(full, n < MAX_PATH ? n : 0);
}

std::wstring FailedFolder() {
    return OwnFolder() + L"pictures-failed\\";
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// A path as its reader will look for it: under Wine, the Unix one.
std::string Shown(const std::wstring& path) {
    using ToUnix = char* (*)(const wchar_t*);
    static auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix) {
        if (char* unix = toUnix(path.c_str())) {
            std::string shown = unix;
            ::HeapFree(::GetProcessHeap(), 0, unix);
            return shown;
        }
    }
    return Readable(Cp932(path));
}

RECT CaretOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret ||
        (info.hwndCaret != window && !::IsChild(window, info.hwndCaret)))
        return {};
    RECT r = info.rcCaret;
    ::MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const RECT outer = OuterRect(window);
    ::OffsetRect(&r, -outer.left, -outer.top);
    return r;
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16}) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > kChannelTolerance || d < -kChannelTolerance) return false;
    }
    return true;
}

struct Comparison {
    int differing = 0;
    Picture diff;  // the reference faded, differing pixels red, the caret blue
};

Comparison Compare(const Picture& seen, const Picture& reference, const RECT& caret) {
    Comparison c;
    c.diff = seen;
    for (int y = 0; y < seen.height; ++y) {
        for (int x = 0; x < seen.width; ++x) {
            std::uint32_t& out = c.diff.at(x, y);
            if (Inside(caret, x, y)) {
                out = 0x0000FF;
            } else if (!Near(seen.at(x, y), reference.at(x, y))) {
                ++c.differing;
                out = 0xFF0000;
            } else {
                // A quarter of the colour over white: the red stands out.
                std::uint32_t p = reference.at(x, y), faded = 0;
                for (int shift : {0, 8, 16}) faded |= (0xC0 + (((p >> shift) & 0xFF) >> 2)) << shift;
                out = faded;
            }
        }
    }
    return c;
}

}  // namespace

std::string ColourText(std::uint32_t p) {
    return "RGB(" + std::to_string(p >> 16) + ", " + std::to_string((p >> 8) & 0xFF) + ", " + std::to_string(p & 0xFF) +
           ")";
}

Picture CaptureScreen(const RECT& area) {
    Picture picture;
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    if (picture.width <= 0 || picture.height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && memory) {
        HGDIOBJ old = ::SelectObject(memory, dib);
        if (::BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY)) {
            ::GdiFlush();
            const auto* p = static_cast<const std::uint32_t*>(bits);
            picture.pixels.assign(p, p + static_cast<std::size_t>(picture.width) * picture.height);
            for (std::uint32_t& px : picture.pixels) px &= 0xFFFFFF;
        }
        ::SelectObject(memory, old);
    }
    if (dib) ::DeleteObject(dib);
    if (memory) ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (picture.pixels.empty()) return {};
    return picture;
}

std::optional<Capture> CaptureWindow(HWND window) {
    // The caret blinks on a timer of the window's own thread, so two
    // pictures agree only without it. Its rectangle comes from the system
    // (GetGUIThreadInfo answers for any thread, under Wine as on Windows),
    // whereas a blink rate pinned in the prefix would still leave the caret
    // shown in one picture and not in another, as the caret is hidden while
    // its window paints.
    std::optional<Capture> before;
    std::optional<Capture> agreed;
    auto last = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    WaitFor(
        [&] {
            // Painting reaches the screen when the window's thread goes idle:
            // pictures a tenth of a second apart, each after a message that
            // the thread answers only when it is done with what came before.
            if (std::chrono::steady_clock::now() - last < std::chrono::milliseconds(100)) return false;
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
            last = std::chrono::steady_clock::now();
            Capture now{CaptureScreen(OuterRect(window)), CaretOf(window)};
            if (before && now.picture.width == before->picture.width && now.picture.height == before->picture.height &&
                !now.picture.pixels.empty()) {
                RECT both;
                ::UnionRect(&both, &now.caret, &before->caret);
                bool same = true;
                for (int y = 0; y < now.picture.height && same; ++y)
                    for (int x = 0; x < now.picture.width && same; ++x)
                        same = Inside(both, x, y) || now.picture.at(x, y) == before->picture.at(x, y);
                if (same) {
                    now.caret = both;
                    agreed = std::move(now);
                    return true;
                }
            }
            before = std::move(now);
            return false;
        },
        std::chrono::seconds(10));
    return agreed;
}

bool WritePng(const std::wstring& path, const Picture& picture) {
    IWICImagingFactory* factory = Factory();
    if (!factory || picture.pixels.empty()) return false;
    // Three bytes a pixel, blue first: the format WIC's PNG encoder takes as
    // it is.
    const UINT stride = static_cast<UINT>(picture.width) * 3;
    std::vector<BYTE> rows(static_cast<std::size_t>(stride) * picture.height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        rows[i * 3] = static_cast<BYTE>(picture.pixels[i]);
        rows[i * 3 + 1] = static_cast<BYTE>(picture.pixels[i] >> 8);
        rows[i * 3 + 2] = static_cast<BYTE>(picture.pixels[i] >> 16);
    }
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    bool ok = SUCCEEDED(factory->CreateStream(&stream.p)) &&
              SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
              SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder.p)) &&
              SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
              SUCCEEDED(encoder->CreateNewFrame(&frame.p, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
              SUCCEEDED(frame->SetSize(static_cast<UINT>(picture.width), static_cast<UINT>(picture.height))) &&
              SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
              SUCCEEDED(frame->WritePixels(static_cast<UINT>(picture.height), stride, static_cast<UINT>(rows.size()),
                                           rows.data())) &&
              SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    return ok;
}

std::optional<Picture> ReadPng(const std::wstring& path) {
    IWICImagingFactory* factory = Factory();
    if (!factory) return std::nullopt;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &decoder.p)) ||
        FAILED(decoder->GetFrame(0, &frame.p)) || FAILED(factory->CreateFormatConverter(&converter.p)) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)))
        return std::nullopt;
    Picture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(picture.pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(picture.pixels.data()))))
        return std::nullopt;
    for (std::uint32_t& px : picture.pixels) px &= 0xFFFFFF;
    return picture;
}

void ClearFailedPictures() {
    const std::wstring folder = FailedFolder();
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW((folder + L"*.png").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do ::DeleteFileW((folder + found.cFileName).c_str());
    while (::FindNextFileW(h, &found));
    ::FindClose(h);
}

::testing::AssertionResult MatchesReference(const Capture& capture, const std::string& name, const std::string& label) {
    const std::wstring path = ReferenceFolder() + Wide(name) + L".png";
    static std::set<std::string> updated;
    wchar_t update[8] = L"";
    const bool updating = ::GetEnvironmentVariableW(L"K307_UPDATE_PICTURES", update, 8) == 1 && update[0] == L'1' &&
                          updated.insert(name).second;
    const std::optional<Picture> reference = ReadPng(path);
    std::string problem;
    Comparison c;
    if (!reference) {
        problem = "there is no reference picture " + Shown(path);
    } else if (reference->width != capture.picture.width || reference->height != capture.picture.height) {
        problem = "the window is " + std::to_string(capture.picture.width) + " x " +
                  std::to_string(capture.picture.height) + ", the reference " + Shown(path) + " " +
                  std::to_string(reference->width) + " x " + std::to_string(reference->height);
    } else if ((c = Compare(capture.picture, *reference, capture.caret)).differing > kDifferingPixels) {
        problem = std::to_string(c.differing) + " pixels differ from the reference " + Shown(path);
    }
    if (problem.empty()) return ::testing::AssertionSuccess();
    if (updating) {
        ::CreateDirectoryW(ReferenceFolder().c_str(), nullptr);
        if (WritePng(path, capture.picture)) {
            std::printf("new reference picture %s\n", Shown(path).c_str());
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "cannot write " << Shown(path);
    }
    ::CreateDirectoryW(FailedFolder().c_str(), nullptr);
    const std::wstring seen = FailedFolder() + Wide(label) + L".png";
    const std::wstring diff = FailedFolder() + Wide(label) + L".diff.png";
    auto failure = ::testing::AssertionFailure() << problem << "; the window as seen: ";
    failure << (WritePng(seen, capture.picture) ? Shown(seen) : "(cannot be written)");
    if (!c.diff.pixels.empty())
        failure << ", the difference (red): " << (WritePng(diff, c.diff) ? Shown(diff) : "(cannot be written)");
    return failure << ". If the change is meant, make new references with tools/screenshots and review them.";
}

}  // namespace e2e
