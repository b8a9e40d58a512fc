#include "desktop/theme_colors.h"

#include <windows.h>

#include <array>
#include <charconv>
#include <limits>

#include "desktop/theme_registry.h"

namespace skyloom {

namespace {

constexpr const char* kColorsKey = "Control Panel\\Colors";

struct ColorSlot {
  TColor TColors::*field;
  const char* readName;
  const char* writeName;
  int systemIndex;
};

// The registry reads "GradientInactiveTitle" but the name written has always
// been "GradientInActiveTitle"; both spellings are kept as they are.
constexpr std::array<ColorSlot, 28> kSlots{{
    {&TColors::ActiveCaption, "ActiveTitle", "ActiveTitle", COLOR_ACTIVECAPTION},
    {&TColors::Background, "Background", "Background", COLOR_BACKGROUND},
    {&TColors::Hilight, "Hilight", "Hilight", COLOR_HIGHLIGHT},
    {&TColors::HilightText, "HilightText", "HilightText", COLOR_HIGHLIGHTTEXT},
    {&TColors::CaptionText, "TitleText", "TitleText", COLOR_CAPTIONTEXT},
    {&TColors::Window, "Window", "Window", COLOR_WINDOW},
    {&TColors::WindowText, "WindowText", "WindowText", COLOR_WINDOWTEXT},
    {&TColors::Scrollbar, "Scrollbar", "Scrollbar", COLOR_SCROLLBAR},
    {&TColors::InactiveCaption, "InactiveTitle", "InactiveTitle", COLOR_INACTIVECAPTION},
    {&TColors::Menu, "Menu", "Menu", COLOR_MENU},
    {&TColors::WindowFrame, "WindowFrame", "WindowFrame", COLOR_WINDOWFRAME},
    {&TColors::MenuText, "MenuText", "MenuText", COLOR_MENUTEXT},
    {&TColors::ActiveBorder, "ActiveBorder", "ActiveBorder", COLOR_ACTIVEBORDER},
    {&TColors::InactiveBorder, "InactiveBorder", "InactiveBorder", COLOR_INACTIVEBORDER},
    {&TColors::AppWorkspace, "AppWorkspace", "AppWorkspace", COLOR_APPWORKSPACE},
    {&TColors::ButtonFace, "ButtonFace", "ButtonFace", COLOR_BTNFACE},
    {&TColors::ButtonShadow, "ButtonShadow", "ButtonShadow", COLOR_BTNSHADOW},
    {&TColors::GrayText, "GrayText", "GrayText", COLOR_GRAYTEXT},
    {&TColors::ButtonText, "ButtonText", "ButtonText", COLOR_BTNTEXT},
    {&TColors::InactiveCaptionText, "InactiveTitleText", "InactiveTitleText", COLOR_INACTIVECAPTIONTEXT},
    {&TColors::ButtonHilight, "ButtonHilight", "ButtonHilight", COLOR_BTNHIGHLIGHT},
    {&TColors::ButtonDkShadow, "ButtonDkShadow", "ButtonDkShadow", COLOR_3DDKSHADOW},
    {&TColors::ButtonLight, "ButtonLight", "ButtonLight", COLOR_3DLIGHT},
    {&TColors::InfoText, "InfoText", "InfoText", COLOR_INFOTEXT},
    {&TColors::InfoWindow, "InfoWindow", "InfoWindow", COLOR_INFOBK},
    {&TColors::HotLight, "HotTrackingColor", "HotTrackingColor", COLOR_HOTLIGHT},
    {&TColors::GradientActiveCaption, "GradientActiveTitle", "GradientActiveTitle", COLOR_GRADIENTACTIVECAPTION},
    {&TColors::GradientInActiveCaption, "GradientInactiveTitle", "GradientInActiveTitle",
     COLOR_GRADIENTINACTIVECAPTION},
}};

// A decimal integer (optional sign) in the range of a 32-bit int; anything
// else counts as 0. Only the lowest byte is kept.
unsigned PartToByte(const std::string& part) {
  const char* first = part.data();
  const char* last = first + part.size();
  if (first != last && *first == '+') ++first;
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) return 0;
  return static_cast<unsigned>(value) & 0xFFu;
}

// The text before the first blank; empty when there is no blank.
std::string BeforeBlank(const std::string& text) {
  const auto blank = text.find(' ');
  return blank == std::string::npos ? std::string() : text.substr(0, blank);
}

// Drops everything up to and including the first blank; nothing without one.
std::string AfterBlank(const std::string& text) {
  const auto blank = text.find(' ');
  return blank == std::string::npos ? text : text.substr(blank + 1);
}

}  // namespace

std::string ColorToText(TColor colour) {
  return std::to_string(colour & 0xFFu) + ' ' + std::to_string((colour >> 8) & 0xFFu) + ' ' +
         std::to_string((colour >> 16) & 0xFFu);
}

TColor TextToColor(const std::string& text) {
  const unsigned red = PartToByte(BeforeBlank(text));
  const std::string rest = AfterBlank(text);
  const unsigned green = PartToByte(BeforeBlank(rest));
  const std::string last = AfterBlank(rest);
  const auto blank = last.find(' ');
  const unsigned blue = PartToByte(blank == std::string::npos ? last : last.substr(0, blank));
  return red + green * 256u + blue * 65536u;
}

void TColors::Read(TRegistryProblems* problems) {
  const auto key = TThemeKey::OpenForRead(kColorsKey, problems);
  for (const auto& slot : kSlots) {
    const auto text = key ? key->ReadString(slot.readName) : std::nullopt;
    // Without a stored text the colour the system shows now is kept: reading
    // it as black would blank the user's colours at the next Apply.
    this->*slot.field = text ? TextToColor(*text) : GetSysColor(slot.systemIndex);
  }
}

void TColors::Write() const {
  {
    const TThemeKey key = TThemeKey::OpenForWrite(kColorsKey);
    for (const auto& slot : kSlots) key.WriteString(slot.writeName, ColorToText(this->*slot.field));
  }
  std::array<INT, kSlots.size()> indices{};
  std::array<COLORREF, kSlots.size()> values{};
  for (std::size_t i = 0; i < kSlots.size(); ++i) {
    indices[i] = kSlots[i].systemIndex;
    values[i] = this->*kSlots[i].field;
  }
  SetSysColors(static_cast<int>(kSlots.size()), indices.data(), values.data());
}

}  // namespace skyloom
