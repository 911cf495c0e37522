#include "pictures/Win32PictureFiles.h"

#include <wincodec.h>

#include <algorithm>

#include "config/MenuSettings.h"
#include "win/Dpi.h"

namespace {

// Icon files larger than this are refused unread; real ones hold a few hundred KB.
constexpr LONGLONG kMaxIconFileBytes = 4 << 20;

// The headers of a picture file and its length, or false when it cannot be read: an icon
// whole, a bitmap's first bytes, a PNG, JPEG or GIF file whole (all the decoder reads).
bool ReadPictureHead(const std::wstring& path, UINT type, std::string& head, LONGLONG& length) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) ||
        (type == IMAGE_ICON && size.QuadPart > kMaxIconFileBytes)) {
        return false;
    }
    length = size.QuadPart;
    std::uint64_t wanted = type == IMAGE_ICON ? static_cast<std::uint64_t>(length)
                                              : std::min<std::uint64_t>(length, kBitmapHeadBytes);
    for (std::size_t got = 0; got < wanted;) {
        head.resize(static_cast<std::size_t>(wanted));
        DWORD read = 0;
        if (!ReadFile(file.get(), head.data() + got, static_cast<DWORD>(wanted - got), &read,
                      nullptr) ||
            read != wanted - got) {
            return false;
        }
        got = head.size();
        if (type == IMAGE_BITMAP) {
            wanted = PictureBytesNeeded(head, static_cast<std::uint64_t>(length));
        }
    }
    return true;
}

// The system's loader, for a file whose headers were checked.
HANDLE LoadFromFile(const std::wstring& path, UINT type) {
    return LoadImageW(nullptr, path.c_str(), type, 0, 0,
                      LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION);
}

// A picture's file as the system resolves it, in one letter case: the same file named in
// different spellings ("a.bmp", ".\A.BMP", "x\..\a.bmp") is loaded once.
std::wstring ResolvedPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full.data(), nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return path; // as written: a path this long is shared only when spelt alike
    }
    full.resize(length);
    CharUpperBuffW(full.data(), length);
    return full;
}

// The imaging component's first factory, in every Windows since Vista.
constexpr CLSID kImagingFactory = {
    0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr IID kImagingFactoryInterface = {
    0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
constexpr GUID kPremultipliedBgra = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10}};

// Releases a COM object at the end of a scope.
template <typename T> class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    T* operator->() const { return object_; }
    T* get() const { return object_; }
    T** put() { return &object_; }

private:
    T* object_ = nullptr;
};

// A 32-bit top-down bitmap of width x height holding the source's pixels; none when the
// system or the decoder fails.
UniqueBitmap CopyToBitmap(IWICBitmapSource* source, UINT width, UINT height, bool& alpha) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UINT bytes = width * height * 4; // within the caps: at most 256 MB
    if (!bitmap ||
        FAILED(source->CopyPixels(nullptr, width * 4, bytes, static_cast<BYTE*>(bits)))) {
        return {};
    }
    const BYTE* pixel = static_cast<const BYTE*>(bits);
    for (UINT i = 3; i < bytes && !alpha; i += 4) {
        alpha = pixel[i] != 0xFF;
    }
    return bitmap;
}

} // namespace

Win32PictureFiles::~Win32PictureFiles() {
    if (factory_ != nullptr) {
        factory_->Release();
    }
    if (comStarted_) {
        using CoUninitializeFn = void(WINAPI*)();
        const FARPROC found = GetProcAddress(GetModuleHandleW(L"ole32"), "CoUninitialize");
        reinterpret_cast<CoUninitializeFn>(reinterpret_cast<void*>(found))();
    }
}

IWICImagingFactory* Win32PictureFiles::Factory() {
    if (codecsTried_) {
        return factory_;
    }
    codecsTried_ = true;
    // Loaded only for a picture that is not a bitmap: a menu of bitmaps loads nothing new.
    // ole32 is one of the system's known DLLs, never taken from the medium.
    const HMODULE ole = LoadLibraryW(L"ole32.dll");
    using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
    using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    const FARPROC start = ole == nullptr ? nullptr : GetProcAddress(ole, "CoInitializeEx");
    const FARPROC create = ole == nullptr ? nullptr : GetProcAddress(ole, "CoCreateInstance");
    if (start == nullptr || create == nullptr) {
        return nullptr;
    }
    comStarted_ = SUCCEEDED(reinterpret_cast<CoInitializeExFn>(reinterpret_cast<void*>(start))(
        nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    reinterpret_cast<CoCreateInstanceFn>(reinterpret_cast<void*>(create))(
        kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kImagingFactoryInterface,
        reinterpret_cast<void**>(&factory_));
    return factory_;
}

MenuPicture Win32PictureFiles::Decode(const std::string& bytes, const PictureCheck& check,
                                      int dpi) {
    MenuPicture picture;
    IWICImagingFactory* factory = Factory();
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (factory == nullptr || FAILED(factory->CreateStream(stream.put())) ||
        FAILED(
            stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                         static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height)) ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), kPremultipliedBgra, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom))) {
        return picture;
    }
    // The frame was counted at the size its header gave: it may not be larger.
    const int scale = std::max(dpi, kFileDpi);
    if (width == 0 || height == 0 ||
        ScaleToDpi(static_cast<std::int32_t>(std::min<UINT>(width, INT32_MAX)), scale) >
            check.width ||
        ScaleToDpi(static_cast<std::int32_t>(std::min<UINT>(height, INT32_MAX)), scale) >
            check.height) {
        return picture;
    }
    picture.bitmap = CopyToBitmap(converter.get(), width, height, picture.blended);
    if (picture.blended && dpi != kFileDpi) {
        // Scaled smoothly in premultiplied colours, so that no edge takes a hidden colour.
        const UINT keptWidth = static_cast<UINT>(MulDiv(static_cast<int>(width), dpi, kFileDpi));
        const UINT keptHeight = static_cast<UINT>(MulDiv(static_cast<int>(height), dpi, kFileDpi));
        ComRef<IWICBitmapScaler> scaler;
        bool alpha = false;
        picture.bitmap.reset();
        if (SUCCEEDED(factory->CreateBitmapScaler(scaler.put())) &&
            SUCCEEDED(scaler->Initialize(converter.get(), keptWidth, keptHeight,
                                         WICBitmapInterpolationModeFant))) {
            picture.bitmap = CopyToBitmap(scaler.get(), keptWidth, keptHeight, alpha);
        }
    }
    return picture;
}

MenuPicture Win32PictureFiles::Read(const std::wstring& path, int dpi) {
    // A missing, unreadable or damaged file loads as none, as does one beyond the caps at the
    // size the menu keeps it, or beyond the memory left for pictures. It is counted before it
    // is decoded: one the decoder then fails on still counts.
    std::string bytes;
    LONGLONG length = 0;
    if (path.empty() || !ReadPictureHead(path, IMAGE_BITMAP, bytes, length)) {
        return {};
    }
    const PictureCheck check = CheckPictureFile(bytes, static_cast<std::uint64_t>(length), dpi);
    if (check.fault != PictureFault::None || !budget_.Take(check.width, check.height)) {
        return {};
    }
    if (FormatOf(bytes) != PictureFormat::Bitmap) {
        return Decode(bytes, check, dpi);
    }
    return {UniqueBitmap(static_cast<HBITMAP>(LoadFromFile(path, IMAGE_BITMAP)))};
}

UniqueIcon Win32PictureFiles::WindowIcon(const std::wstring& path) {
    // The system's loader trusts the headers and would read past an incomplete copy's end.
    std::string head;
    LONGLONG length = 0;
    if (path.empty() || !ReadPictureHead(path, IMAGE_ICON, head, length) ||
        CheckIcon(head) != PictureFault::None) {
        return {};
    }
    return UniqueIcon(static_cast<HICON>(LoadFromFile(path, IMAGE_ICON)));
}

MenuPicture Win32PictureFiles::Load(const std::wstring& path, int dpi) {
    MenuPicture picture = Read(path, dpi);
    if (picture.bitmap && !picture.blended && dpi != kFileDpi) {
        picture.bitmap = ScaledToDpi(picture.bitmap.get(), dpi);
    }
    return picture;
}

const MenuPicture& Win32PictureFiles::Shared(const std::wstring& path, int dpi) {
    return pictures_.For(ResolvedPath(path), [&] { return Load(path, dpi); });
}

const IconPicture& Win32PictureFiles::Icon(const std::wstring& path, COLORREF transparent, int dpi,
                                           MaskMaker makeMask) {
    return icons_.For({ResolvedPath(path), transparent}, [&] {
        MenuPicture read = Read(path, dpi);
        IconPicture picture{std::move(read.bitmap), {}, read.blended};
        if (picture.icon && !picture.blended) {
            picture.mask = makeMask(picture.icon.get(), transparent);
            if (dpi != kFileDpi) {
                // Masked at the file's size, where the transparent colour is exact.
                picture.icon = ScaledToDpi(picture.icon.get(), dpi);
                picture.mask = ScaledToDpi(picture.mask.get(), dpi);
            }
        }
        return picture;
    });
}
