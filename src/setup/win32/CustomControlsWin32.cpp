#include "setup/win32/CustomControlsWin32.h"

#include <cstring>
#include <memory>
#include <vector>

namespace setup {

namespace {

const char kBindingProperty[] = "klm.CustomControl";
WNDPROC gEditClassProc = nullptr;

LRESULT CALLBACK dispatchSubclassed(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

LOGFONTA toLogFont(const FontDescription& f) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = f.height;
    lf.lfWidth = f.width;
    lf.lfEscapement = f.escapement;
    lf.lfOrientation = f.orientation;
    lf.lfWeight = f.weight;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfStrikeOut = f.strikeOut;
    lf.lfCharSet = f.charSet;
    lf.lfOutPrecision = f.outPrecision;
    lf.lfClipPrecision = f.clipPrecision;
    lf.lfQuality = f.quality;
    lf.lfPitchAndFamily = f.pitchAndFamily;
    std::strncpy(lf.lfFaceName, f.faceName.c_str(), LF_FACESIZE - 1);
    return lf;
}

FontDescription fromLogFont(const LOGFONTA& lf) {
    FontDescription f;
    f.height = lf.lfHeight;
    f.width = lf.lfWidth;
    f.escapement = lf.lfEscapement;
    f.orientation = lf.lfOrientation;
    f.weight = lf.lfWeight;
    f.italic = lf.lfItalic;
    f.underline = lf.lfUnderline;
    f.strikeOut = lf.lfStrikeOut;
    f.charSet = lf.lfCharSet;
    f.outPrecision = lf.lfOutPrecision;
    f.clipPrecision = lf.lfClipPrecision;
    f.quality = lf.lfQuality;
    f.pitchAndFamily = lf.lfPitchAndFamily;
    // Not strnlen: Windows 2000's C runtime lacks it.
    const void* end = std::memchr(lf.lfFaceName, '\0', LF_FACESIZE);
    f.faceName.assign(lf.lfFaceName, end ? static_cast<const char*>(end) - lf.lfFaceName : LF_FACESIZE);
    return f;
}

// One bound control: the window calls of the logic, and the GDI objects made for it.
class Binding final : public CustomControlWindow {
public:
    Binding(HWND window, WNDPROC original, bool subclassed)
        : hwnd(window), original(original), subclassed(subclassed) {}

    ~Binding() override {
        release();
        if (font) ::DeleteObject(font);
        for (const auto& b : brushes) ::DeleteObject(b.brush);
    }

    const HWND hwnd;
    const WNDPROC original;
    const bool subclassed;  // false for windows of the registered class
    CEditEx* edit = nullptr;
    ColorLabel* label = nullptr;
    std::unique_ptr<CEditEx> ownedEdit;
    HFONT font = nullptr;

    void bindEdit(CEditEx& logic) {
        if (edit == &logic) return;
        release();
        edit = &logic;
        logic.Attach(this);
    }
    void bindLabel(ColorLabel& logic) {
        if (label == &logic) return;
        release();
        label = &logic;
        logic.Attach(this);
    }

    // A label flashing its background needs two at once; older ones are freed as the
    // colours change, never the one a paint has just been given.
    HBRUSH brushFor(Colour colour) {
        ++clock_;
        for (auto& b : brushes)
            if (b.colour == colour) {
                b.lastUse = clock_;
                return b.brush;
            }
        HBRUSH brush = ::CreateSolidBrush(colour);
        if (!brush) return nullptr;
        if (brushes.size() >= kBrushesKept) {
            auto oldest = brushes.begin();
            for (auto it = brushes.begin(); it != brushes.end(); ++it)
                if (it->lastUse < oldest->lastUse) oldest = it;
            ::DeleteObject(oldest->brush);
            brushes.erase(oldest);
        }
        brushes.push_back({colour, brush, clock_});
        return brush;
    }

    plat::WindowHandle Handle() override { return reinterpret_cast<plat::WindowHandle>(hwnd); }

    std::string GetText() override {
        const int length = ::GetWindowTextLengthA(hwnd);
        if (length <= 0) return std::string();
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
        const int got = ::GetWindowTextA(hwnd, buffer.data(), length + 1);
        return std::string(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    void SetText(const std::string& text) override { ::SetWindowTextA(hwnd, text.c_str()); }

    void StartTimer(std::uint32_t id, std::uint32_t periodMs) override { ::SetTimer(hwnd, id, periodMs, nullptr); }
    void KillTimer(std::uint32_t id) override { ::KillTimer(hwnd, id); }

    std::uint32_t Style() override { return static_cast<std::uint32_t>(::GetWindowLongA(hwnd, GWL_STYLE)); }
    void ChangeStyle(std::uint32_t remove, std::uint32_t add) override { changeLong(GWL_STYLE, remove, add); }
    void ChangeExtendedStyle(std::uint32_t remove, std::uint32_t add) override { changeLong(GWL_EXSTYLE, remove, add); }

    void Redraw(bool erase, bool now) override {
        if (now)
            ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | (erase ? RDW_ERASE : 0));
        else
            ::InvalidateRect(hwnd, nullptr, erase ? TRUE : FALSE);
    }

    void Beep() override { ::MessageBeep(0); }

    void SetFont(const FontDescription& description, bool redraw) override {
        const LOGFONTA lf = toLogFont(description);
        HFONT made = ::CreateFontIndirectA(&lf);
        if (!made) return;
        HFONT old = font;
        font = made;
        ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(made), redraw ? TRUE : FALSE);
        if (old) ::DeleteObject(old);
    }

    bool TrackContextMenu(int menuId) override {
        HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menuId));
        if (!menu) return false;
        HMENU popup = ::GetSubMenu(menu, 0);
        POINT at = {0, 0};
        ::GetCursorPos(&at);
        // The commands go to the dialog, which knows what they mean; the edit ignores them.
        HWND owner = ::GetParent(hwnd);
        const bool shown =
            popup && ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner ? owner : hwnd, nullptr);
        ::DestroyMenu(menu);
        return shown;
    }

    void ShowCursor(plat::Handle cursor) override { ::SetCursor(reinterpret_cast<HCURSOR>(cursor)); }

    void Unbind() override {
        edit = nullptr;
        label = nullptr;
    }

private:
    struct CachedBrush {
        Colour colour;
        HBRUSH brush;
        unsigned long lastUse;
    };
    static constexpr std::size_t kBrushesKept = 2;

    void changeLong(int index, std::uint32_t remove, std::uint32_t add) {
        const auto old = static_cast<std::uint32_t>(::GetWindowLongA(hwnd, index));
        const std::uint32_t changed = (old & ~remove) | add;
        if (changed == old) return;
        ::SetWindowLongA(hwnd, index, static_cast<LONG>(changed));
        // Border styles take effect only when the frame is worked out again.
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }

    // Lets go of the logic object bound so far; an object of our own is freed.
    void release() {
        if (edit) edit->Attach(nullptr);
        if (label) label->Attach(nullptr);
        edit = nullptr;
        label = nullptr;
        ownedEdit.reset();
    }

    std::vector<CachedBrush> brushes;
    unsigned long clock_ = 0;
};

Binding* bindingOf(HWND window) {
    return window ? static_cast<Binding*>(::GetPropA(window, kBindingProperty)) : nullptr;
}

LRESULT dispatch(Binding* b, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The logic may pump messages (the shell, a menu) and the window may be destroyed
    // meanwhile: nothing of the binding is touched after a call into the logic.
    const WNDPROC original = b->original;
    switch (message) {
        case WM_CHAR:
            if (b->edit && b->edit->OnChar(static_cast<unsigned>(wParam))) return 0;
            break;
        case WM_CONTEXTMENU:
            if (b->edit && b->edit->OnContextMenu()) return 0;
            break;
        case WM_TIMER:
            if (b->label && b->label->OnTimer(static_cast<std::uint32_t>(wParam))) return 0;
            break;
        case WM_LBUTTONDOWN:
            if (b->label) b->label->OnLButtonDown();
            break;
        case WM_SETCURSOR:
            if (b->label && reinterpret_cast<HWND>(wParam) == hwnd && b->label->OnSetCursor()) return TRUE;
            break;
        case WM_SETFONT:
            // A page putting its dialog font on every child must not take the label's own.
            if (b->label && b->font) wParam = reinterpret_cast<WPARAM>(b->font);
            break;
        case WM_NCDESTROY:
            ::RemovePropA(hwnd, kBindingProperty);
            if (b->subclassed &&
                ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&dispatchSubclassed))
                ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            delete b;
            break;
    }
    return ::CallWindowProcA(original, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK dispatchSubclassed(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Binding* b = bindingOf(hwnd)) return dispatch(b, hwnd, message, wParam, lParam);
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK editExClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Binding* b = bindingOf(hwnd);
    if (!b && message == WM_NCCREATE && gEditClassProc) {
        auto logic = std::make_unique<CEditEx>(CurrentSystemLook());
        b = new Binding(hwnd, gEditClassProc, false);
        if (!::SetPropA(hwnd, kBindingProperty, b)) {
            delete b;
            return ::CallWindowProcA(gEditClassProc, hwnd, message, wParam, lParam);
        }
        b->bindEdit(*logic);
        b->ownedEdit = std::move(logic);
    }
    if (b) return dispatch(b, hwnd, message, wParam, lParam);
    return gEditClassProc ? ::CallWindowProcA(gEditClassProc, hwnd, message, wParam, lParam)
                          : ::DefWindowProcA(hwnd, message, wParam, lParam);
}

Binding* bindOrSubclass(HWND window) {
    if (!window || !::IsWindow(window)) return nullptr;
    if (Binding* existing = bindingOf(window)) return existing;
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (!current) return nullptr;
    auto* b = new Binding(window, current, true);
    if (!::SetPropA(window, kBindingProperty, b)) {
        delete b;
        return nullptr;
    }
    ::SetLastError(0);
    if (!::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&dispatchSubclassed)) &&
        ::GetLastError() != 0) {
        ::RemovePropA(window, kBindingProperty);
        delete b;
        return nullptr;
    }
    return b;
}

}  // namespace

SystemLook CurrentSystemLook() {
    SystemLook look;
    look.windowText = ::GetSysColor(COLOR_WINDOWTEXT);
    look.window = ::GetSysColor(COLOR_WINDOW);
    look.buttonFace = ::GetSysColor(COLOR_BTNFACE);
    LOGFONTA lf;
    if (::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf) == static_cast<int>(sizeof lf)) {
        look.guiFont = fromLogFont(lf);
    } else {
        look.guiFont.height = -11;
        look.guiFont.weight = kWeightNormal;
        look.guiFont.faceName = "MS Shell Dlg";
    }
    return look;
}

bool AttachEditEx(HWND edit, CEditEx& logic) {
    Binding* b = bindOrSubclass(edit);
    if (!b) return false;
    b->bindEdit(logic);
    return true;
}

bool AttachColorLabel(HWND label, ColorLabel& logic) {
    Binding* b = bindOrSubclass(label);
    if (!b) return false;
    b->bindLabel(logic);
    return true;
}

bool CustomControlColour(UINT message, WPARAM hdc, LPARAM control, INT_PTR* brush) {
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC) return false;
    Binding* b = bindingOf(reinterpret_cast<HWND>(control));
    if (!b || (!b->edit && !b->label)) return false;
    HDC dc = reinterpret_cast<HDC>(hdc);
    const ColourAnswer answer = b->edit ? b->edit->OnControlColour() : b->label->OnControlColour();
    // The label's colours and font are for its static painting only.
    if (b->edit || message == WM_CTLCOLORSTATIC) {
        if (answer.selectFont && b->font) ::SelectObject(dc, b->font);
        ::SetTextColor(dc, answer.textColour);
        if (answer.transparent) ::SetBkMode(dc, TRANSPARENT);
        else ::SetBkColor(dc, answer.textBackground);
    }
    HBRUSH answered = b->brushFor(answer.brush);
    if (!answered) return false;
    if (brush) *brush = reinterpret_cast<INT_PTR>(answered);
    return true;
}

bool RegisterEditExClass(HINSTANCE instance) {
    WNDCLASSEXA edit;
    std::memset(&edit, 0, sizeof edit);
    edit.cbSize = sizeof edit;
    if (!::GetClassInfoExA(nullptr, "EDIT", &edit)) return false;
    gEditClassProc = edit.lpfnWndProc;
    edit.cbSize = sizeof edit;
    edit.hInstance = instance;
    edit.lpszClassName = CEditEx::kClassName;
    edit.lpfnWndProc = editExClassProc;
    edit.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    if (::RegisterClassExA(&edit)) return true;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

CEditEx* EditExOf(HWND edit) {
    Binding* b = bindingOf(edit);
    return b ? b->edit : nullptr;
}

}  // namespace setup
