// A static text with its own colours and font, able to flash its text or its background
// and to open its own text through the shell when clicked.
#pragma once
#include <string>

#include "platform/ShellApi.h"
#include "setup/CustomControlWindow.h"

namespace setup {

class ColorLabel {
public:
    ColorLabel(plat::ShellApi& shell, const SystemLook& look);
    ~ColorLabel();
    ColorLabel(const ColorLabel&) = delete;
    ColorLabel& operator=(const ColorLabel&) = delete;

    enum FlashMode : int { kNoFlash = 0, kFlashText = 1, kFlashBackground = 2 };
    static constexpr std::uint32_t kFlashTimer = 1;
    static constexpr std::uint32_t kFlashPeriodMs = 500;

    // Binds the label's window (nullptr unbinds) and gives it the label's font.
    void Attach(CustomControlWindow* window);
    CustomControlWindow* window() const { return window_; }

    // Each answers the colour it replaces.
    Colour SetTextColour(Colour colour);
    Colour SetBackgroundColour(Colour colour);
    Colour textColour() const { return text_; }
    Colour backgroundColour() const { return background_; }
    Colour flashColour() const { return flash_; }

    void SetBold(bool bold);
    void SetItalic(bool italic);
    void SetUnderline(bool underline);
    void SetFontSize(int size);
    void SetFontName(const std::string& faceName);
    const FontDescription& font() const { return font_; }

    void SetSunken(bool sunken);
    void SetBorder(bool border);
    // Clicks reach a static control only with the notify style.
    void SetLink(bool link);
    bool link() const { return link_; }
    void SetLinkCursor(plat::Handle cursor) { cursor_ = cursor; }

    void FlashText(bool on);
    void FlashBackground(bool on);
    FlashMode flashMode() const { return mode_; }
    int flashPhase() const { return phase_; }  // 0 shown, 1 blanked
    bool timerRunning() const { return timerRunning_; }
    const std::string& savedText() const { return savedText_; }

    // Messages; each answers true when handled here, false for the control's default handling.
    bool OnTimer(std::uint32_t id);
    ColourAnswer OnControlColour() const;
    // Opens the label's text; the click still goes on to the default handling.
    void OnLButtonDown();
    bool OnSetCursor();

private:
    void stopFlashing();
    void rebuildFont();

    plat::ShellApi& shell_;
    CustomControlWindow* window_ = nullptr;
    Colour text_;
    Colour background_;
    Colour flash_;
    FontDescription font_;
    std::string savedText_;
    FlashMode mode_ = kNoFlash;
    int phase_ = 0;
    bool timerRunning_ = false;
    bool link_ = true;
    plat::Handle cursor_ = 0;
};

}  // namespace setup
