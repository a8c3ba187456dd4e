#include "setup/ColorLabel.h"

namespace setup {

ColorLabel::ColorLabel(plat::ShellApi& shell, const SystemLook& look)
    : shell_(shell), text_(look.windowText), background_(look.buttonFace), flash_(look.buttonFace),
      font_(look.guiFont) {
    if (font_.faceName.size() > kFaceNameMax) font_.faceName.resize(kFaceNameMax);
}

ColorLabel::~ColorLabel() {
    if (window_) window_->Unbind();
}

void ColorLabel::Attach(CustomControlWindow* window) {
    window_ = window;
    if (window_) window_->SetFont(font_, true);
}

Colour ColorLabel::SetTextColour(Colour colour) {
    const Colour old = text_;
    text_ = colour;
    if (window_) window_->Redraw(true, true);
    return old;
}

Colour ColorLabel::SetBackgroundColour(Colour colour) {
    const Colour old = background_;
    background_ = colour;
    return old;
}

void ColorLabel::rebuildFont() {
    if (!window_) return;
    window_->SetFont(font_, false);
    window_->Redraw(true, true);
}

void ColorLabel::SetBold(bool bold) {
    font_.weight = bold ? kWeightBold : kWeightNormal;
    rebuildFont();
}

void ColorLabel::SetItalic(bool italic) {
    font_.italic = italic ? 1 : 0;
    rebuildFont();
}

void ColorLabel::SetUnderline(bool underline) {
    font_.underline = underline ? 1 : 0;
    rebuildFont();
}

void ColorLabel::SetFontSize(int size) {
    font_.height = -size;
    rebuildFont();
}

void ColorLabel::SetFontName(const std::string& faceName) {
    font_.faceName = faceName.substr(0, kFaceNameMax);
    rebuildFont();
}

void ColorLabel::SetSunken(bool sunken) {
    if (!window_) return;
    if (sunken) window_->ChangeExtendedStyle(0, kExStyleStaticEdge);
    else window_->ChangeExtendedStyle(kExStyleStaticEdge, 0);
}

void ColorLabel::SetBorder(bool border) {
    if (!window_) return;
    if (border) window_->ChangeStyle(0, kStyleBorder);
    else window_->ChangeStyle(kStyleBorder, 0);
}

void ColorLabel::SetLink(bool link) {
    link_ = link;
    if (!window_) return;
    if (link) window_->ChangeStyle(0, kStyleStaticNotify);
    else window_->ChangeStyle(kStyleStaticNotify, 0);
}

void ColorLabel::stopFlashing() {
    if (timerRunning_ && window_) window_->KillTimer(kFlashTimer);
    // Whichever flash was running, the label keeps its text: stopping in the blank phase
    // must not leave it empty.
    if (mode_ == kFlashText && window_) window_->SetText(savedText_);
    const bool repaint = mode_ == kFlashBackground && phase_ == 1;
    timerRunning_ = false;
    mode_ = kNoFlash;
    phase_ = 0;
    if (repaint && window_) window_->Redraw(false, true);
}

void ColorLabel::FlashText(bool on) {
    stopFlashing();
    if (!on || !window_) return;
    savedText_ = window_->GetText();
    phase_ = 0;
    mode_ = kFlashText;
    timerRunning_ = true;
    window_->StartTimer(kFlashTimer, kFlashPeriodMs);
}

void ColorLabel::FlashBackground(bool on) {
    stopFlashing();
    if (!on || !window_) return;
    phase_ = 0;
    mode_ = kFlashBackground;
    timerRunning_ = true;
    window_->StartTimer(kFlashTimer, kFlashPeriodMs);
}

bool ColorLabel::OnTimer(std::uint32_t id) {
    if (id != kFlashTimer || !timerRunning_) return false;
    phase_ = 1 - phase_;
    if (!window_) return true;
    if (mode_ == kFlashText) window_->SetText(phase_ == 1 ? std::string() : savedText_);
    else if (mode_ == kFlashBackground) window_->Redraw(false, true);
    return true;
}

ColourAnswer ColorLabel::OnControlColour() const {
    ColourAnswer a;
    a.selectFont = true;
    a.textColour = text_;
    a.transparent = true;
    a.brush = mode_ == kFlashBackground && phase_ == 1 ? flash_ : background_;
    return a;
}

void ColorLabel::OnLButtonDown() {
    // Without the notify style Windows sends the click to the parent, never here.
    if (!window_ || !(window_->Style() & kStyleStaticNotify)) return;
    // While the text blinks the window may hold the empty text; the link is the saved one.
    const std::string target = mode_ == kFlashText ? savedText_ : window_->GetText();
    if (target.empty()) return;
    shell_.ShellExecute(window_->Handle(), "open", target, std::nullopt, std::nullopt, plat::kSwShowNormal);
}

bool ColorLabel::OnSetCursor() {
    if (!cursor_ || !window_) return false;
    window_->ShowCursor(cursor_);
    return true;
}

}  // namespace setup
