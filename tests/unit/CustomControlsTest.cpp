// The wizard's own edit and label controls over a recorded window: what they ask of the
// window, what they answer for painting, and how they take characters, clicks and ticks.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "setup/CEditEx.h"
#include "setup/ColorLabel.h"

using namespace setup;

namespace {

class RecordedWindow : public CustomControlWindow {
public:
    std::string text;
    std::uint32_t style = 0, exStyle = 0;
    std::map<std::uint32_t, std::uint32_t> timers;  // running: id -> period
    int beeps = 0, redraws = 0, immediateRedraws = 0;
    std::vector<FontDescription> fonts;
    std::vector<int> menus;
    bool menuLoads = true;
    plat::Handle cursor = 0;
    bool unbound = false;

    plat::WindowHandle Handle() override { return 0x4411; }
    std::string GetText() override { return text; }
    void SetText(const std::string& t) override { text = t; }
    void StartTimer(std::uint32_t id, std::uint32_t periodMs) override { timers[id] = periodMs; }
    void KillTimer(std::uint32_t id) override { timers.erase(id); }
    std::uint32_t Style() override { return style; }
    void ChangeStyle(std::uint32_t remove, std::uint32_t add) override { style = (style & ~remove) | add; }
    void ChangeExtendedStyle(std::uint32_t remove, std::uint32_t add) override { exStyle = (exStyle & ~remove) | add; }
    void Redraw(bool, bool now) override {
        ++redraws;
        immediateRedraws += now;
    }
    void Beep() override { ++beeps; }
    void SetFont(const FontDescription& font, bool) override { fonts.push_back(font); }
    bool TrackContextMenu(int menuId) override {
        menus.push_back(menuId);
        return menuLoads;
    }
    void ShowCursor(plat::Handle c) override { cursor = c; }
    void Unbind() override { unbound = true; }

    // What Windows does with a WM_CHAR the control leaves to the edit.
    void type(CEditEx& edit, unsigned character) {
        if (!edit.OnChar(character)) text += static_cast<char>(character);
    }
};

struct ShellOpen {
    plat::WindowHandle owner;
    std::string verb, file;
    bool withParameters, withDirectory;
    std::uint32_t show;
};

class RecordedShell : public plat::ShellApi {
public:
    std::vector<ShellOpen> opens;
    std::uintptr_t ShellExecute(plat::WindowHandle owner, const std::string& verb, const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::optional<std::string>& directory, std::uint32_t show) override {
        opens.push_back({owner, verb, file, parameters.has_value(), directory.has_value(), show});
        return 42;
    }
};

SystemLook look() {
    SystemLook l;
    l.windowText = 0x010203;
    l.window = 0xF0F1F2;
    l.buttonFace = 0xD4D0C8;
    l.guiFont.height = -11;
    l.guiFont.weight = kWeightNormal;
    l.guiFont.charSet = 1;
    l.guiFont.faceName = "Tahoma";
    return l;
}

class OnlyDigits : public CharacterFilter {
public:
    explicit OnlyDigits(int* destroyed) : destroyed_(destroyed) {}
    ~OnlyDigits() override { ++*destroyed_; }
    bool Allows(unsigned c) const override { return c >= '0' && c <= '9'; }

private:
    int* destroyed_;
};

struct Label {
    RecordedShell shell;
    RecordedWindow w;
    ColorLabel label{shell, look()};
    Label() { label.Attach(&w); }
};

}  // namespace

TEST(CEditEx, StartsFromTheSystemColoursAndSettersAnswerTheColourTheyReplace) {
    RecordedWindow w;
    CEditEx edit(look());
    edit.Attach(&w);
    EXPECT_TRUE(w.fonts.empty());  // the dialog's font stays until one is set
    ColourAnswer a = edit.OnControlColour();
    EXPECT_EQ(a.textColour, 0x010203u);
    EXPECT_EQ(a.textBackground, 0xF0F1F2u);
    EXPECT_EQ(a.brush, 0xF0F1F2u);
    EXPECT_FALSE(a.transparent);

    EXPECT_EQ(edit.SetBackgroundColour(0x00FF00), 0xF0F1F2u);
    EXPECT_EQ(edit.SetBackgroundColour(0x0000FF), 0x00FF00u);
    EXPECT_EQ(edit.SetTextColour(0xFF0000), 0x010203u);
    EXPECT_EQ(w.redraws, 3);
    a = edit.OnControlColour();
    EXPECT_EQ(a.textColour, 0xFF0000u);
    EXPECT_EQ(a.textBackground, 0x0000FFu);
    EXPECT_EQ(a.brush, 0x0000FFu);  // the brush follows the background
}

TEST(CEditEx, FontsAndCopiesTakeOwnDescriptionsButNeverFromItself) {
    RecordedWindow w, otherWindow;
    CEditEx edit(look()), other(look());
    other.SetFont(-12, 0x22, std::string(40, 'F'));  // before its window: given when bound
    other.Attach(&otherWindow);
    ASSERT_EQ(otherWindow.fonts.size(), 1u);
    EXPECT_EQ(otherWindow.fonts[0].height, -12);
    EXPECT_EQ(otherWindow.fonts[0].weight, kWeightNormal);
    EXPECT_EQ(otherWindow.fonts[0].pitchAndFamily, 0x22);
    EXPECT_EQ(otherWindow.fonts[0].faceName, std::string(kFaceNameMax, 'F'));

    edit.Attach(&w);
    other.SetBackgroundColour(0x112233);
    other.SetTextColour(0x445566);
    edit.CopyFrom(other);
    EXPECT_EQ(edit.OnControlColour().brush, 0x112233u);
    EXPECT_EQ(edit.textColour(), 0x445566u);
    ASSERT_EQ(w.fonts.size(), 1u);
    EXPECT_EQ(w.fonts[0], *other.font());

    CEditEx fontless(look());
    edit.CopyFrom(fontless);  // colours taken, the font kept
    EXPECT_EQ(edit.backgroundColour(), look().window);
    EXPECT_EQ(w.fonts.size(), 1u);
    EXPECT_TRUE(edit.font());
    const int redraws = w.redraws;
    edit.CopyFrom(edit);
    EXPECT_EQ(w.redraws, redraws);
}

TEST(CEditEx, FilterDecidesWhichCharactersReachTheText) {
    RecordedWindow w;
    CEditEx edit(look());
    edit.Attach(&w);
    for (unsigned c : {0x61u, 0x31u, 0x08u, 0xB0u, 0xA1u}) w.type(edit, c);
    EXPECT_EQ(w.text, std::string("a1\b\xB0\xA1"));
    EXPECT_EQ(w.beeps, 0);

    int destroyed = 0;
    edit.SetFilter(std::make_unique<OnlyDigits>(&destroyed));
    w.text = "12";
    w.type(edit, 'x');
    EXPECT_EQ(w.text, "12");
    EXPECT_EQ(w.beeps, 1);
    w.type(edit, '3');
    EXPECT_EQ(w.text, "123");
    EXPECT_EQ(w.beeps, 1);

    edit.SetFilter(nullptr);  // the control frees the filter it owned
    EXPECT_EQ(destroyed, 1);
}

TEST(CEditEx, ContextMenuOnlyWhenOneIsSetAndLoads) {
    RecordedWindow w;
    CEditEx edit(look());
    edit.Attach(&w);
    EXPECT_FALSE(edit.OnContextMenu());
    edit.SetContextMenu(200);
    EXPECT_TRUE(edit.OnContextMenu());
    EXPECT_EQ(w.menus, std::vector<int>{200});
    w.menuLoads = false;  // the edit's own menu is shown instead
    EXPECT_FALSE(edit.OnContextMenu());
}

TEST(ColorLabel, ColoursAndEveryFontAttributeBuildOnTheSystemLook) {
    RecordedShell shell;
    RecordedWindow w;
    {
        ColorLabel label(shell, look());
        label.SetFontSize(14);  // before the window: kept for it
        label.Attach(&w);
        ASSERT_EQ(w.fonts.size(), 1u);
        EXPECT_EQ(w.fonts[0].height, -14);
        EXPECT_EQ(w.fonts[0].faceName, "Tahoma");

        ColourAnswer a = label.OnControlColour();
        EXPECT_TRUE(a.selectFont && a.transparent);
        EXPECT_EQ(a.textColour, 0x010203u);
        EXPECT_EQ(a.brush, 0xD4D0C8u);
        EXPECT_EQ(label.SetTextColour(0xFF0000), 0x010203u);
        EXPECT_EQ(label.SetBackgroundColour(0xFDCAFF), 0xD4D0C8u);
        a = label.OnControlColour();
        EXPECT_EQ(a.textColour, 0xFF0000u);
        EXPECT_EQ(a.brush, 0xFDCAFFu);

        label.SetBold(true);
        label.SetItalic(true);
        label.SetUnderline(true);
        label.SetFontName("Arial");
        FontDescription f = w.fonts.back();
        EXPECT_EQ(f.weight, kWeightBold);
        EXPECT_EQ(f.italic + f.underline, 2);
        EXPECT_EQ(f.faceName, "Arial");
        EXPECT_EQ(f.height, -14);  // earlier changes stay
        EXPECT_EQ(f.charSet, 1);
        EXPECT_EQ(w.immediateRedraws, 5);  // text colour and the four rebuilds

        label.SetBold(false);
        label.SetItalic(false);
        label.SetUnderline(false);
        label.SetFontName(std::string(50, 'n'));
        f = w.fonts.back();
        EXPECT_EQ(f.weight, kWeightNormal);
        EXPECT_EQ(f.italic + f.underline, 0);
        EXPECT_EQ(f.faceName, std::string(kFaceNameMax, 'n'));
    }
    EXPECT_TRUE(w.unbound);  // the window stops calling a label that is gone
}

TEST(ColorLabel, StylesAreAddedAndRemovedWithoutTouchingOthers) {
    Label l;
    l.w.style = 0x50000001;  // WS_CHILD | WS_VISIBLE | SS_CENTER
    l.label.SetBorder(true);
    l.label.SetLink(true);
    l.label.SetSunken(true);
    EXPECT_EQ(l.w.style, 0x50000001u | kStyleBorder | kStyleStaticNotify);
    EXPECT_EQ(l.w.exStyle, kExStyleStaticEdge);
    l.label.SetBorder(false);
    l.label.SetLink(false);
    l.label.SetSunken(false);
    EXPECT_EQ(l.w.style, 0x50000001u);
    EXPECT_EQ(l.w.exStyle, 0u);
}

TEST(ColorLabel, TextFlashingBlinksAndAlwaysGivesTheTextBack) {
    Label l;
    l.w.text = "Update the USB driver";
    l.label.FlashText(true);
    EXPECT_EQ(l.w.timers, (std::map<std::uint32_t, std::uint32_t>{{1, 500}}));
    EXPECT_TRUE(l.label.OnTimer(1));
    EXPECT_EQ(l.w.text, "");
    EXPECT_TRUE(l.label.OnTimer(1));
    EXPECT_EQ(l.w.text, "Update the USB driver");
    EXPECT_FALSE(l.label.OnTimer(2));  // not the flash timer

    l.label.OnTimer(1);
    ASSERT_EQ(l.w.text, "");
    l.label.FlashText(false);  // stopped in the blank phase
    EXPECT_EQ(l.w.text, "Update the USB driver");
    EXPECT_TRUE(l.w.timers.empty());
    l.w.text = "New text";
    l.label.FlashText(false);  // a second stop does not bring the old text back
    EXPECT_EQ(l.w.text, "New text");

    l.label.FlashText(true);
    l.label.OnTimer(1);
    ASSERT_EQ(l.w.text, "");
    l.label.FlashBackground(true);  // switching flash kinds in the blank phase
    EXPECT_EQ(l.w.text, "New text");
    EXPECT_EQ(l.label.flashMode(), ColorLabel::kFlashBackground);
    l.label.FlashBackground(false);
    EXPECT_FALSE(l.label.OnTimer(1));  // a late tick changes nothing
    EXPECT_EQ(l.w.text, "New text");
}

TEST(ColorLabel, BackgroundFlashingAlternatesTheBrushAndStopsOnTheBackground) {
    Label l;
    l.label.SetBackgroundColour(0xFDCAFF);
    l.label.FlashBackground(true);
    EXPECT_EQ(l.label.OnControlColour().brush, 0xFDCAFFu);
    l.label.OnTimer(1);
    EXPECT_EQ(l.w.immediateRedraws, 1);  // repainted at once on each tick
    EXPECT_EQ(l.label.OnControlColour().brush, look().buttonFace);
    l.label.OnTimer(1);
    EXPECT_EQ(l.label.OnControlColour().brush, 0xFDCAFFu);

    l.label.OnTimer(1);
    l.label.FlashBackground(false);
    EXPECT_TRUE(l.w.timers.empty());
    EXPECT_EQ(l.label.OnControlColour().brush, 0xFDCAFFu);
    EXPECT_EQ(l.w.immediateRedraws, 4);  // and once more so the flash colour goes
}

TEST(ColorLabel, ClicksOpenTheTextOnlyWhenTheLabelReceivesThem) {
    Label l;
    l.w.text = "http://example.invalid/driver";
    l.label.OnLButtonDown();  // no notify style in the template
    EXPECT_TRUE(l.shell.opens.empty());

    l.label.SetLink(true);
    l.label.OnLButtonDown();
    ASSERT_EQ(l.shell.opens.size(), 1u);
    const ShellOpen& o = l.shell.opens[0];
    EXPECT_EQ(o.owner, l.w.Handle());
    EXPECT_EQ(o.verb, "open");
    EXPECT_EQ(o.file, l.w.text);
    EXPECT_FALSE(o.withParameters || o.withDirectory);
    EXPECT_EQ(o.show, plat::kSwShowNormal);

    l.label.FlashText(true);
    l.label.OnTimer(1);  // the window is blank; the link is still the text
    l.label.OnLButtonDown();
    ASSERT_EQ(l.shell.opens.size(), 2u);
    EXPECT_EQ(l.shell.opens[1].file, "http://example.invalid/driver");
    l.label.FlashText(false);

    l.w.text.clear();
    l.label.OnLButtonDown();  // nothing to open
    l.w.text = "C:\\readme.txt";
    l.label.SetLink(false);
    l.label.OnLButtonDown();
    EXPECT_EQ(l.shell.opens.size(), 2u);

    EXPECT_FALSE(l.label.OnSetCursor());
    l.label.SetLinkCursor(0x1234);
    EXPECT_TRUE(l.label.OnSetCursor());
    EXPECT_EQ(l.w.cursor, 0x1234u);
}
