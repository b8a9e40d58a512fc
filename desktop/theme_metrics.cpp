#include "desktop/theme_metrics.h"

#include <cstddef>

namespace skyloom {

namespace {

// The records as the system has always taken them: without the padded
// border width that later versions appended.
constexpr UINT kNonClientSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
constexpr UINT kIconSize = sizeof(ICONMETRICSA);
static_assert(kNonClientSize == 340 && kIconSize == 76);

}  // namespace

void TMetrics::Read() {
  NONCLIENTMETRICSA nonClient{};
  nonClient.cbSize = kNonClientSize;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientSize, &nonClient, 0)) {
    BorderWidth = nonClient.iBorderWidth;
    ScrollWidth = nonClient.iScrollWidth;
    ScrollHeight = nonClient.iScrollHeight;
    CaptionWidth = nonClient.iCaptionWidth;
    CaptionHeight = nonClient.iCaptionHeight;
    CaptionFont = FontFromLogFont(nonClient.lfCaptionFont);
    SmCaptionWidth = nonClient.iSmCaptionWidth;
    SmCaptionHeight = nonClient.iSmCaptionHeight;
    SmCaptionFont = FontFromLogFont(nonClient.lfSmCaptionFont);
    MenuWidth = nonClient.iMenuWidth;
    MenuHeight = nonClient.iMenuHeight;
    MenuFont = FontFromLogFont(nonClient.lfMenuFont);
    StatusFont = FontFromLogFont(nonClient.lfStatusFont);
    MessageFont = FontFromLogFont(nonClient.lfMessageFont);
  }
  ICONMETRICSA icon{};
  icon.cbSize = kIconSize;
  if (SystemParametersInfoA(SPI_GETICONMETRICS, kIconSize, &icon, 0)) {
    HorzSpacing = icon.iHorzSpacing;
    VertSpacing = icon.iVertSpacing;
    TitleWarp = icon.iTitleWrap;
    IconFont = FontFromLogFont(icon.lfFont);
  }
}

void TMetrics::Write() const {
  ICONMETRICSA icon{};
  icon.cbSize = kIconSize;
  icon.iHorzSpacing = HorzSpacing;
  icon.iVertSpacing = VertSpacing;
  icon.iTitleWrap = TitleWarp;
  icon.lfFont = LogFontFromFont(IconFont);

  NONCLIENTMETRICSA nonClient{};
  nonClient.cbSize = kNonClientSize;
  nonClient.iBorderWidth = BorderWidth;
  nonClient.iScrollWidth = ScrollWidth;
  nonClient.iScrollHeight = ScrollHeight;
  nonClient.iCaptionWidth = CaptionWidth;
  nonClient.iCaptionHeight = CaptionHeight;
  nonClient.lfCaptionFont = LogFontFromFont(CaptionFont);
  nonClient.iSmCaptionWidth = SmCaptionWidth;
  nonClient.iSmCaptionHeight = SmCaptionHeight;
  nonClient.lfSmCaptionFont = LogFontFromFont(SmCaptionFont);
  nonClient.iMenuWidth = MenuWidth;
  nonClient.iMenuHeight = MenuHeight;
  nonClient.lfMenuFont = LogFontFromFont(MenuFont);
  nonClient.lfStatusFont = LogFontFromFont(StatusFont);
  nonClient.lfMessageFont = LogFontFromFont(MessageFont);

  SystemParametersInfoA(SPI_SETICONMETRICS, kIconSize, &icon, SPIF_SENDCHANGE);
  SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, kNonClientSize, &nonClient, SPIF_SENDCHANGE);
}

}  // namespace skyloom
