#include "win32/Win32Fonts.h"

#include <cwchar>

namespace hb::win32 {

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(screen, &query, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, screen);
    return found;
}

HFONT MakeFont(const wchar_t* face, int hundredthsOfPoint, bool bold, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = FontHeight(hundredthsOfPoint, dpi);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&font);
}

}  // namespace

const wchar_t* DialogFace() {
    static const wchar_t* face = FaceInstalled(L"Microsoft Sans Serif") ? L"Microsoft Sans Serif" : L"MS Sans Serif";
    return face;
}

void DpiFonts::create(UINT dpi) {
    fonts_[static_cast<std::size_t>(FontKind::Dialog)].reset(MakeFont(DialogFace(), 825, false, dpi));
    fonts_[static_cast<std::size_t>(FontKind::Log)].reset(MakeFont(L"Courier New", 825, false, dpi));
    fonts_[static_cast<std::size_t>(FontKind::BoldWarning)].reset(MakeFont(DialogFace(), 825, true, dpi));
    fonts_[static_cast<std::size_t>(FontKind::BoldTitle)].reset(MakeFont(DialogFace(), 975, true, dpi));
}

}  // namespace hb::win32
