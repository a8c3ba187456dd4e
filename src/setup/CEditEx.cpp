#include "setup/CEditEx.h"

namespace setup {

namespace {

FontDescription withFaceCut(FontDescription font) {
    if (font.faceName.size() > kFaceNameMax) font.faceName.resize(kFaceNameMax);
    return font;
}

}  // namespace

CEditEx::CEditEx(const SystemLook& look) : text_(look.windowText), background_(look.window) { brush_ = background_; }

CEditEx::~CEditEx() {
    if (window_) window_->Unbind();
}

void CEditEx::Attach(CustomControlWindow* window) {
    window_ = window;
    if (window_ && font_) window_->SetFont(*font_, true);
}

Colour CEditEx::SetBackgroundColour(Colour colour) {
    const Colour old = background_;
    background_ = colour;
    RebuildBrush();
    if (window_) window_->Redraw(true, false);
    return old;
}

Colour CEditEx::SetTextColour(Colour colour) {
    const Colour old = text_;
    text_ = colour;
    if (window_) window_->Redraw(true, false);
    return old;
}

void CEditEx::SetFont(const FontDescription& font) {
    font_ = withFaceCut(font);
    if (window_) window_->SetFont(*font_, true);
}

void CEditEx::SetFont(std::int32_t height, std::uint8_t pitchAndFamily, const std::string& faceName) {
    FontDescription font;
    font.height = height;
    font.weight = kWeightNormal;
    font.pitchAndFamily = pitchAndFamily;
    font.faceName = faceName;
    SetFont(font);
}

void CEditEx::CopyFrom(const CEditEx& other) {
    if (&other == this) return;
    SetBackgroundColour(other.background_);
    SetTextColour(other.text_);
    if (other.font_) SetFont(*other.font_);
}

ColourAnswer CEditEx::OnControlColour() const {
    ColourAnswer a;
    a.textColour = text_;
    a.textBackground = background_;
    a.brush = brush_;
    return a;
}

bool CEditEx::OnChar(unsigned character) {
    if (!filter_ || filter_->Allows(character)) return false;
    if (window_) window_->Beep();
    return true;
}

bool CEditEx::OnContextMenu() {
    if (menuId_ == 0 || !window_) return false;
    // A menu that cannot be loaded leaves the edit its own menu.
    return window_->TrackContextMenu(menuId_);
}

}  // namespace setup
