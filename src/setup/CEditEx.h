// An edit control with its own colours, font, context menu and character filter.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "setup/CustomControlWindow.h"

namespace setup {

// Decides which typed characters an edit control takes.
class CharacterFilter {
public:
    virtual ~CharacterFilter() = default;
    // `character` is the WM_CHAR code (a byte of the ANSI code page, control codes included).
    virtual bool Allows(unsigned character) const = 0;
};

class CEditEx {
public:
    explicit CEditEx(const SystemLook& look);
    virtual ~CEditEx();
    CEditEx(const CEditEx&) = delete;
    CEditEx& operator=(const CEditEx&) = delete;

    static constexpr const char* kClassName = "CEditEx";

    // Binds the control's window (nullptr unbinds). A font set before is given to it now.
    void Attach(CustomControlWindow* window);
    CustomControlWindow* window() const { return window_; }

    // Each answers the colour it replaces.
    Colour SetBackgroundColour(Colour colour);
    Colour SetTextColour(Colour colour);
    Colour backgroundColour() const { return background_; }
    Colour textColour() const { return text_; }

    void SetFont(const FontDescription& font);
    void SetFont(std::int32_t height, std::uint8_t pitchAndFamily, const std::string& faceName);
    // Empty while the control shows its dialog's font.
    const std::optional<FontDescription>& font() const { return font_; }

    // Takes the other control's colours and, when it has one, its font.
    void CopyFrom(const CEditEx& other);

    void SetContextMenu(int menuId) { menuId_ = menuId; }
    int contextMenu() const { return menuId_; }
    // The control owns the filter; nullptr removes it.
    void SetFilter(std::unique_ptr<CharacterFilter> filter) { filter_ = std::move(filter); }
    const CharacterFilter* filter() const { return filter_.get(); }

    // Messages; each answers true when handled here, false for the control's default handling.
    ColourAnswer OnControlColour() const;
    bool OnChar(unsigned character);
    bool OnContextMenu();

protected:
    // Called whenever the background colour changes; a derived control may paint its
    // background with something other than a solid brush of that colour.
    virtual void RebuildBrush() { brush_ = background_; }
    Colour brush_ = 0;

private:
    CustomControlWindow* window_ = nullptr;
    Colour text_;
    Colour background_;
    std::optional<FontDescription> font_;
    int menuId_ = 0;
    std::unique_ptr<CharacterFilter> filter_;
};

}  // namespace setup
