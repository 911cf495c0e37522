#include "pictures/Win32PictureFiles.h"

#include <wincodec.h>

#include <algorithm>
#include <memory>
#include <new>

#include "config/MenuSettings.h"
#include "win/Dpi.h"

namespace {

// Icon files larger than this are refused unread; real ones hold a few hundred KB.
constexpr LONGLONG kMaxIconFileBytes = 4 << 20;

// A picture file opened for reading, as the loaders open it.
UniqueFile OpenPicture(const std::wstring& path) {
    return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The headers of a picture file and its length, or false when it cannot be read: an icon
// whole, a bitmap's first bytes, a PNG, JPEG or GIF file whole (all the decoder reads).
bool ReadPictureHead(HANDLE file, UINT type, std::string& head, LONGLONG& length) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || (type == IMAGE_ICON && size.QuadPart > kMaxIconFileBytes)) {
        return false;
    }
    length = size.QuadPart;
    const auto total = static_cast<std::uint64_t>(length);
    // A PNG, JPEG or GIF file is told from a bitmap by the first bytes, then read on.
    for (std::uint64_t wanted =
             type == IMAGE_ICON ? total : std::min<std::uint64_t>(total, kBitmapHeadBytes);
         wanted > head.size(); wanted = PictureBytesNeeded(head, total)) {
        const std::size_t got = head.size();
        head.append(static_cast<std::size_t>(wanted - got), '\0');
        DWORD read = 0;
        if (!ReadFile(file, head.data() + got, static_cast<DWORD>(wanted - got), &read, nullptr) ||
            read != wanted - got) {
            return false;
        }
    }
    return true;
}

// The system's loader, for a file whose headers were checked.
HANDLE LoadFromFile(const std::wstring& path, UINT type) {
    return LoadImageW(nullptr, path.c_str(), type, 0, 0,
                      LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION);
}

// The imaging component's first factory, in every Windows since Vista.
constexpr CLSID kImagingFactory = {
    0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr IID kImagingFactoryInterface = {
    0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
constexpr GUID kPremultipliedBgra = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10}};

// The source's pixels as a 32-bit bitmap of width x height, and whether any of them is not
// opaque; none when memory, the system or the decoder fails.
UniqueBitmap CopyToBitmap(IWICBitmapSource* source, UINT width, UINT height, bool& alpha) {
    const UINT bytes = width * height * 4; // within the caps: at most 256 MB
    const std::unique_ptr<BYTE[]> pixels(new (std::nothrow) BYTE[bytes]);
    if (!pixels || FAILED(source->CopyPixels(nullptr, width * 4, bytes, pixels.get()))) {
        return {};
    }
    for (UINT i = 3; i < bytes && !alpha; i += 4) {
        alpha = pixels[i] != 0xFF;
    }
    return UniqueBitmap(
        CreateBitmap(static_cast<int>(width), static_cast<int>(height), 1, 32, pixels.get()));
}

} // namespace

Win32PictureFiles::~Win32PictureFiles() {
    // The imaging component stays started until the process ends, as the menu's pictures do.
    if (factory_ != nullptr) {
        factory_->Release();
    }
}

MenuPicture Win32PictureFiles::Decode(std::string& bytes, const PictureCheck& check, int dpi) {
    MenuPicture picture;
    if (!codecsTried_) {
        codecsTried_ = true;
        // Loaded only for a picture that is not a bitmap: a menu of bitmaps loads nothing new.
        // ole32 is one of the system's known DLLs, never taken from the medium.
        const HMODULE ole = LoadLibraryW(L"ole32.dll");
        using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
        using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
        const FARPROC start = ole == nullptr ? nullptr : GetProcAddress(ole, "CoInitializeEx");
        const FARPROC create = ole == nullptr ? nullptr : GetProcAddress(ole, "CoCreateInstance");
        if (start != nullptr && create != nullptr) {
            reinterpret_cast<CoInitializeExFn>(reinterpret_cast<void*>(start))(
                nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
            reinterpret_cast<CoCreateInstanceFn>(reinterpret_cast<void*>(create))(
                kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kImagingFactoryInterface,
                reinterpret_cast<void**>(&factory_));
        }
    }
    IWICImagingFactory* factory = factory_;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    IWICBitmapScaler* scaler = nullptr;
    UINT width = 0, height = 0;
    const int scale = std::max(dpi, kFileDpi);
    // The decoder sees only what the check read: of a GIF file its first frame, closed by a
    // trailer in place of what follows it, so that no other frame is decoded.
    if (bytes[0] == 'G') {
        bytes[static_cast<std::size_t>(check.decodeLength) - 1] = ';';
    }
    // The frame was counted at the size its header gave: it may not be larger.
    if (factory != nullptr && SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(bytes.data()),
                                               static_cast<DWORD>(check.decodeLength))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                   &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) &&
        width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
        ScaleToDpi(static_cast<std::int32_t>(width), scale) <= check.width &&
        ScaleToDpi(static_cast<std::int32_t>(height), scale) <= check.height &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, kPremultipliedBgra, WICBitmapDitherTypeNone, nullptr,
                                        0, WICBitmapPaletteTypeCustom))) {
        picture.bitmap = CopyToBitmap(converter, width, height, picture.blended);
        if (picture.blended && dpi != kFileDpi) {
            // Scaled smoothly in premultiplied colours, so that no edge takes a hidden colour.
            width = static_cast<UINT>(MulDiv(static_cast<int>(width), dpi, kFileDpi));
            height = static_cast<UINT>(MulDiv(static_cast<int>(height), dpi, kFileDpi));
            picture.bitmap.reset();
            if (SUCCEEDED(factory->CreateBitmapScaler(&scaler)) &&
                SUCCEEDED(
                    scaler->Initialize(converter, width, height, WICBitmapInterpolationModeFant))) {
                bool alpha = false;
                picture.bitmap = CopyToBitmap(scaler, width, height, alpha);
            }
        }
    }
    for (IUnknown* object : {static_cast<IUnknown*>(scaler), static_cast<IUnknown*>(converter),
                             static_cast<IUnknown*>(frame), static_cast<IUnknown*>(decoder),
                             static_cast<IUnknown*>(stream)}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    return picture;
}

UniqueIcon Win32PictureFiles::WindowIcon(const std::wstring& path) {
    // The system's loader trusts the headers and would read past an incomplete copy's end.
    std::string head;
    LONGLONG length = 0;
    if (path.empty() || !ReadPictureHead(OpenPicture(path).get(), IMAGE_ICON, head, length) ||
        CheckIcon(head) != PictureFault::None) {
        return {};
    }
    return UniqueIcon(static_cast<HICON>(LoadFromFile(path, IMAGE_ICON)));
}

MenuPicture Win32PictureFiles::Load(const std::wstring& path, int dpi, MaskMaker makeMask,
                                    COLORREF transparent) {
    // A missing, unreadable or damaged file loads as none, as does one beyond the caps at the
    // size the menu keeps it, or beyond the memory left for pictures. It is counted before it
    // is decoded: one the decoder then fails on still counts.
    std::string bytes;
    LONGLONG length = 0;
    if (path.empty() || !ReadPictureHead(OpenPicture(path).get(), IMAGE_BITMAP, bytes, length)) {
        return {};
    }
    const PictureCheck check = CheckPictureFile(bytes, static_cast<std::uint64_t>(length), dpi);
    if (check.fault != PictureFault::None || !budget_.Take(check)) {
        return {};
    }
    // Bitmaps go to the system's loader as always; PNG, JPEG and GIF files to the decoder.
    MenuPicture picture =
        FormatOf(bytes) != PictureFormat::Bitmap
            ? Decode(bytes, check, dpi)
            : MenuPicture{UniqueBitmap(static_cast<HBITMAP>(LoadFromFile(path, IMAGE_BITMAP))), {}};
    if (picture.bitmap && !picture.blended) {
        // An icon is masked at the file's size, where the transparent colour is exact.
        if (makeMask != nullptr) {
            picture.mask = makeMask(picture.bitmap.get(), transparent);
        }
        if (dpi != kFileDpi) {
            picture.bitmap = ScaledToDpi(picture.bitmap.get(), dpi);
            if (picture.mask) {
                picture.mask = ScaledToDpi(picture.mask.get(), dpi);
            }
        }
    }
    return picture;
}

const MenuPicture& Win32PictureFiles::Shared(const std::wstring& path, int dpi, MaskMaker makeMask,
                                             COLORREF transparent) {
    // By the file it opens, however it is named (spellings, links): read and decoded once. Files
    // that cannot be opened (no information, all zeros) load as none, shared by all of them.
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(OpenPicture(path).get(), &info);
    // Pictures and icons apart: a colour read from a file never has the top byte set.
    return pictures_.For({info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
                          makeMask != nullptr ? transparent : CLR_INVALID},
                         [&] { return Load(path, dpi, makeMask, transparent); });
}
