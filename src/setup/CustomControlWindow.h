// What the wizard's own edit and label controls see of their window, and the descriptions
// of colours and fonts they hand to it. The logic decides; the Win32 binding owns the GDI
// objects made from these descriptions and carries out the calls.
#pragma once
#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

namespace setup {

using Colour = std::uint32_t;  // COLORREF: 0x00BBGGRR

// A font as LOGFONTA describes it.
struct FontDescription {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName;  // at most kFaceNameMax bytes, as LOGFONTA holds it

    bool operator==(const FontDescription& o) const {
        return height == o.height && width == o.width && escapement == o.escapement && orientation == o.orientation &&
               weight == o.weight && italic == o.italic && underline == o.underline && strikeOut == o.strikeOut &&
               charSet == o.charSet && outPrecision == o.outPrecision && clipPrecision == o.clipPrecision &&
               quality == o.quality && pitchAndFamily == o.pitchAndFamily && faceName == o.faceName;
    }
    bool operator!=(const FontDescription& o) const { return !(*this == o); }
};

constexpr std::size_t kFaceNameMax = 31;  // LF_FACESIZE less its terminator
constexpr std::int32_t kWeightNormal = 400;
constexpr std::int32_t kWeightBold = 700;

// The system's colours and default GUI font at the moment a control is made; the controls
// start from them. The Win32 side reads the real ones.
struct SystemLook {
    Colour windowText = 0x000000;
    Colour window = 0xFFFFFF;
    Colour buttonFace = 0xC0C0C0;
    FontDescription guiFont;
};

// Window styles the controls switch.
enum : std::uint32_t {
    kStyleBorder = 0x00800000,     // WS_BORDER
    kStyleStaticNotify = 0x0100,   // SS_NOTIFY
    kExStyleStaticEdge = 0x00020000,  // WS_EX_STATICEDGE
};

// What to do with the device context on WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC, and which
// solid brush to answer.
struct ColourAnswer {
    Colour textColour = 0;
    bool transparent = false;    // SetBkMode(TRANSPARENT); otherwise SetBkColor(textBackground)
    Colour textBackground = 0;
    Colour brush = 0;
    bool selectFont = false;     // select the control's own font into the context
};

class CustomControlWindow {
public:
    virtual ~CustomControlWindow() = default;

    virtual plat::WindowHandle Handle() = 0;
    virtual std::string GetText() = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void StartTimer(std::uint32_t id, std::uint32_t periodMs) = 0;
    virtual void KillTimer(std::uint32_t id) = 0;
    virtual std::uint32_t Style() = 0;
    virtual void ChangeStyle(std::uint32_t remove, std::uint32_t add) = 0;
    virtual void ChangeExtendedStyle(std::uint32_t remove, std::uint32_t add) = 0;
    // Invalidates the whole control, erasing its background when asked; `now` paints it
    // before returning.
    virtual void Redraw(bool erase, bool now) = 0;
    virtual void Beep() = 0;  // MessageBeep(0)
    // Makes the font, gives it to the control (WM_SETFONT) and frees the one made before.
    virtual void SetFont(const FontDescription& font, bool redraw) = 0;
    // Loads menu resource `menuId` and tracks its first submenu at the cursor, right
    // button allowed; false when the menu could not be shown.
    virtual bool TrackContextMenu(int menuId) = 0;
    virtual void ShowCursor(plat::Handle cursor) = 0;
    // The logic object bound to this window is going away: stop forwarding to it.
    virtual void Unbind() = 0;
};

}  // namespace setup
