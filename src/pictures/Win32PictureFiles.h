// Picture files from the medium loaded for drawing: bitmaps and icons through the system's
// loader, PNG, JPEG and GIF files through the Windows Imaging Component. Every file is
// checked before a loader or decoder sees it; one that fails counts as missing.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "pictures/PictureCheck.h"
#include "util/SharedObjects.h"
#include "win/Gdi.h"

struct IWICImagingFactory;

// A picture ready to draw. A blended one (a file with transparent pixels) is a 32-bit bitmap
// with premultiplied alpha, drawn by its alpha onto what lies beneath. Any other icon has the
// mask made from it for its transparent colour.
struct MenuPicture {
    UniqueBitmap bitmap;
    UniqueBitmap mask;
    bool blended = false;
};

// The menu's pictures, each counted once against the caps for all of them, at the size the
// menu keeps it: the screen's DPI where the menu draws at it (`dpi`), else the file's.
class Win32PictureFiles {
public:
    Win32PictureFiles() = default;
    Win32PictureFiles(const Win32PictureFiles&) = delete;
    Win32PictureFiles& operator=(const Win32PictureFiles&) = delete;
    ~Win32PictureFiles();

    // The window's icon file; none when unreadable or damaged.
    UniqueIcon WindowIcon(const std::wstring& path);
    // `makeMask` turns an icon's transparent colour into black and gives its mask.
    using MaskMaker = UniqueBitmap (*)(HBITMAP icon, COLORREF transparent);
    // A picture of its own (with `makeMask` an icon); none when unreadable, damaged or beyond
    // the caps.
    MenuPicture Load(const std::wstring& path, int dpi, MaskMaker makeMask = nullptr,
                     COLORREF transparent = 0);
    // One picture per file, however it is named (spellings, hard links, folder links), and one
    // icon per file and transparent colour (its mask changes it), made at first use.
    const MenuPicture& Shared(const std::wstring& path, int dpi, MaskMaker makeMask = nullptr,
                              COLORREF transparent = 0);

private:
    // At the file's size, or a blended picture at `dpi`, from the bytes the check read.
    MenuPicture Decode(std::string& bytes, const PictureCheck& check, int dpi);

    // By the file's volume and index on it, and an icon's transparent colour.
    SharedObjects<std::array<DWORD, 4>, MenuPicture> pictures_;
    PictureBudget budget_;
    IWICImagingFactory* factory_ = nullptr;
    bool codecsTried_ = false;
};
