#include "widgets/html_layout.h"

#include <algorithm>

namespace skyloom::html {
namespace {

constexpr TColor kHighlight = 0x80000000u + 13;  // system highlight colour
constexpr int kListIndent = 12;

// Builds the lines of one text. Positions inside an open line are relative
// to the line's start until the line is closed and placed.
class TLayoutBuilder {
 public:
  TLayoutBuilder(const TRect& rect, const TLayoutOptions& options, TTextMeasure& measure)
      : options_(options), measure_(measure), font_(options.font) {
    layout_.rect = rect;
    top_ = rect.top;
  }

  TLayout Run(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && !full_) {
      if (text[i] == '<') {
        std::size_t close = text.find('>', i + 1);
        if (close == std::string_view::npos) close = text.size();
        Tag(TTag(text.substr(i + 1, close - i - 1)));
        i = close + 1;
      } else {
        std::size_t end = RunEnd(text, i);
        TextRun(text.substr(i, end - i));
        i = end;
      }
    }
    if (!full_ && (!line_.fragments.empty() || line_.rule)) CloseLine();
    return std::move(layout_);
  }

 private:
  std::size_t RunEnd(std::string_view text, std::size_t from) const {
    std::size_t tag = text.find('<', from);
    if (tag == std::string_view::npos) tag = text.size();
    if (!options_.wordWrap) return tag;
    std::size_t blank = text.find(' ', from);
    if (blank == std::string_view::npos || blank >= tag) return tag;
    return blank + 1;
  }

  int FirstLineInset() const { return layout_.lines.empty() ? 1 : 0; }
  int AvailableWidth() const {
    return layout_.rect.right - layout_.rect.left - FirstLineInset() - indent_;
  }

  void TextRun(std::string_view raw) {
    std::string shown = StripAccelerators(ReplaceRunEntities(raw));
    if (shown.empty()) return;
    TSize size = measure_.TextExtent(font_, shown);
    if (BreaksBefore(size.cx)) {
      CloseLine();
      if (full_) return;
    }
    TFragment f = NewFragment(TFragment::Kind::Text, std::move(shown), size);
    lineEndsInBlank_ = f.text.back() == ' ';
    Append(std::move(f));
  }

  // A run that would reach the right edge starts the next line, unless the
  // line is empty or the run continues a word that a tag split. A run wider
  // than a whole line thus stands alone on its line, clipped at the edge.
  bool BreaksBefore(int width) const {
    if (!options_.wordWrap || line_.fragments.empty()) return false;
    if (!lineEndsInBlank_) return false;
    return static_cast<long long>(cursor_) + width >= AvailableWidth();
  }

  TFragment NewFragment(TFragment::Kind kind, std::string text, TSize size) const {
    TFragment f;
    f.kind = kind;
    f.text = std::move(text);
    f.font = font_;
    f.background = background_;
    f.x = cursor_;
    f.width = size.cx;
    f.height = size.cy;
    f.href = href_;
    f.link = link_;
    f.shadow = shadow_;
    f.highlight = highlight_;
    f.error = error_;
    f.hidden = hidden_;
    if (highlight_) {
      f.background = kHighlight;
      f.font.color = kHighlight + 1;
    }
    return f;
  }

  void Append(TFragment f) {
    int textHeight = f.kind == TFragment::Kind::Text ? measure_.TextExtent(f.font, "gh").cy : f.height;
    // Sub- and superscripts move by a quarter of their text height.
    int shift = textHeight / 4;
    if (script_ > 0) subExtra_ = std::max(subExtra_, shift);
    if (script_ < 0) supExtra_ = std::max(supExtra_, shift);
    shifts_.push_back(script_ * shift);
    lineHeight_ = std::max(lineHeight_, std::max(textHeight, f.height));
    cursor_ = static_cast<int>(std::min<long long>(static_cast<long long>(cursor_) + f.width, 1 << 30));
    line_.fragments.push_back(std::move(f));
  }

  void CloseLine() {
    if (line_.fragments.empty()) lineHeight_ = measure_.TextExtent(font_, "gh").cy;
    line_.top = top_;
    line_.height = lineHeight_ + supExtra_ + subExtra_;
    line_.width = cursor_;
    line_.left = LineStart(cursor_) + indent_;
    line_.background = paragraphBackground_;
    int base = top_ + supExtra_ + lineHeight_;
    for (std::size_t k = 0; k < line_.fragments.size(); ++k) {
      TFragment& f = line_.fragments[k];
      f.x += line_.left;
      f.top = base - f.height + shifts_[k];
      // A picture with ALIGN TOP or MIDDLE lifts the line's text to its top
      // or middle.
      if (f.kind != TFragment::Kind::Text) continue;
      if (raise_ == TRaise::Top) f.top = base - raisePicture_ + shifts_[k];
      if (raise_ == TRaise::Middle) f.top = base - raisePicture_ / 2 - f.height / 2 + shifts_[k];
    }
    layout_.width = std::max(layout_.width, line_.width);
    layout_.height += line_.height;
    top_ += line_.height;
    layout_.lines.push_back(std::move(line_));
    line_ = TLine{};
    shifts_.clear();
    cursor_ = 0;
    lineHeight_ = supExtra_ = subExtra_ = 0;
    raise_ = TRaise::None;
    raisePicture_ = 0;
    lineEndsInBlank_ = true;
    full_ = top_ >= layout_.rect.bottom;
  }

  int LineStart(int width) const {
    const TRect& r = layout_.rect;
    int left = r.left + FirstLineInset();
    int free = r.right - r.left - width;
    if (align_ == TAlign::Right && r.right - width > r.left) return r.right - width;
    if (align_ == TAlign::Center && free > 0) return r.left + free / 2;
    return left;
  }

  void Tag(const TTag& tag) {
    bool on = !tag.Closing();
    if (tag.StartsWith("BODY")) return Body(tag);
    if (tag.StartsWith("BR")) return CloseLine();
    if (tag.StartsWith("BL")) return;
    if (tag.StartsWith("B")) font_.bold = on;
    else if (tag.StartsWith("HR")) Rule();
    else if (tag.StartsWith("HI")) highlight_ = on;
    else if (tag.StartsWith("IMG")) Picture(tag);
    else if (tag.StartsWith("IND")) Indent(tag);
    else if (tag.StartsWith("I")) font_.italic = on;
    else if (tag.StartsWith("LI")) Bullet();
    else if (tag.StartsWith("UL")) listLevel_ = on ? listLevel_ + 1 : std::max(0, listLevel_ - 1);
    else if (tag.StartsWith("U")) font_.underline = on;
    else if (tag.StartsWith("P")) Paragraph(tag);
    else if (tag.StartsWith("FONT")) Font(tag);
    else if (tag.StartsWith("A")) Anchor(tag);
    else if (tag.StartsWith("SUB")) script_ = on ? 1 : 0;
    else if (tag.StartsWith("SUP")) script_ = on ? -1 : 0;
    else if (tag.StartsWith("SHAD")) shadow_ = on;
    else if (tag.StartsWith("S")) font_.strike = on;
    else if (tag.StartsWith("E")) error_ = on;
    else if (tag.StartsWith("Z")) hidden_ = on;
  }

  // Sets color from the attribute when the tag has it.
  static void ColorAttribute(const TTag& tag, std::string_view name, TColor& color) {
    bool found = false;
    std::string value = tag.Attribute(name, &found);
    if (found) color = ParseColor(value);
  }

  void Body(const TTag& tag) {
    if (tag.Closing()) return;
    ColorAttribute(tag, "BGCOLOR", layout_.bodyBackground);
    bool found = false;
    std::string picture = tag.Attribute("BACKGROUND", &found);
    if (found) layout_.bodyPicture = picture;
  }

  void Rule() {
    line_.rule = true;
    CloseLine();
  }

  void Paragraph(const TTag& tag) {
    if (tag.Closing()) {
      CloseLine();
      paragraphBackground_ = clNone;
      return;
    }
    std::string align = tag.UpperAttribute("ALIGN");
    if (align.find("RIGHT") != std::string::npos) align_ = TAlign::Right;
    else if (align.find("LEFT") != std::string::npos) align_ = TAlign::Left;
    else if (align.find("CENTER") != std::string::npos) align_ = TAlign::Center;
    bool found = false;
    std::string indent = tag.Attribute("INDENT", &found);
    if (found) indent_ = std::clamp(ParseInt(indent, 0), 0, 1 << 20);
    ColorAttribute(tag, "BGCOLOR", paragraphBackground_);
  }

  void Font(const TTag& tag) {
    if (tag.Closing()) {
      font_.name = options_.font.name;
      font_.size = options_.font.size;
      font_.color = colorBeforeLink_ = options_.font.color;
      background_ = clNone;
      return;
    }
    bool found = false;
    std::string face = tag.Attribute("FACE", &found);
    if (found) font_.name = face;
    ColorAttribute(tag, "COLOR", font_.color);
    ColorAttribute(tag, "BGCOLOR", background_);
    std::string size = tag.Attribute("SIZE", &found);
    if (found) font_.size = ParseFontSize(size);
  }

  void Anchor(const TTag& tag) {
    // A link is open from its tag on, target or not; a closing tag without
    // an open link changes nothing.
    if (tag.Closing()) {
      if (link_ == 0) return;
      link_ = 0;
      href_.clear();
      font_.underline = false;
      font_.color = colorBeforeLink_;
      return;
    }
    if (link_ == 0) colorBeforeLink_ = font_.color;  // a link opened inside another ends in the text's colour
    href_ = tag.Attribute("HREF");
    link_ = ++links_;
    font_.underline = true;
    font_.color = options_.urlColor;
  }

  void Indent(const TTag& tag) {
    if (tag.Closing()) return;
    cursor_ = std::clamp(ParseInt(tag.Attribute("X"), 0), 0, 1 << 20);
  }

  void Bullet() {
    cursor_ = std::max(cursor_, kListIndent * std::min(listLevel_, 1 << 16));
    TFont saved = font_;
    font_.name = "Symbol";
    std::string bullet = "\xB7 ";
    TFragment f = NewFragment(TFragment::Kind::Text, bullet, measure_.TextExtent(font_, bullet));
    Append(std::move(f));
    font_ = saved;
    lineEndsInBlank_ = true;
  }

  void Picture(const TTag& tag) {
    if (tag.Closing()) return;
    std::string source = tag.Attribute("SRC");
    // Named pictures of a picture store are not supported here: skipped.
    if (source.find(':') == std::string::npos) return;
    TSize size = measure_.PictureSize(source);
    bool found = false;
    std::string width = tag.Attribute("WIDTH", &found);
    if (found) size.cx = ParseInt(width, 0);
    std::string height = tag.Attribute("HEIGHT", &found);
    if (found) size.cy = ParseInt(height, 0);
    int ppi = measure_.PixelsPerInch();
    size.cx = static_cast<int>(std::clamp(static_cast<long long>(size.cx) * ppi / 96, 0LL, 1LL << 16));
    size.cy = static_cast<int>(std::clamp(static_cast<long long>(size.cy) * ppi / 96, 0LL, 1LL << 16));
    if (size.cx <= 0 || size.cy <= 0) return;
    std::string align = tag.UpperAttribute("ALIGN");
    if (align == "TOP" || align == "MIDDLE") {
      raise_ = align == "TOP" ? TRaise::Top : TRaise::Middle;
      raisePicture_ = size.cy;
    }
    TFragment f = NewFragment(TFragment::Kind::Picture, std::move(source), size);
    f.alt = tag.Attribute("ALT");
    Append(std::move(f));
    lineEndsInBlank_ = true;
  }

  const TLayoutOptions& options_;
  TTextMeasure& measure_;
  TLayout layout_;
  TLine line_;
  std::vector<int> shifts_;  // vertical script shift per fragment of line_
  TFont font_;
  TColor colorBeforeLink_ = clBlack;
  TColor background_ = clNone;
  TColor paragraphBackground_ = clNone;
  TAlign align_ = TAlign::Left;
  std::string href_;
  int link_ = 0, links_ = 0;  // the open link's number, links so far
  int top_ = 0, cursor_ = 0, indent_ = 0, listLevel_ = 0, script_ = 0;
  int lineHeight_ = 0, supExtra_ = 0, subExtra_ = 0;
  enum class TRaise { None, Top, Middle } raise_ = TRaise::None;
  int raisePicture_ = 0;  // height of the picture the text is raised to
  bool lineEndsInBlank_ = true;
  bool shadow_ = false, highlight_ = false, error_ = false, hidden_ = false;
  bool full_ = false;
};

bool Inside(int x, int y, int left, int top, int width, int height) {
  return x >= left && x < left + width && y >= top && y < top + height;
}

}  // namespace

TLayout LayoutHtml(std::string_view text, const TRect& rect, const TLayoutOptions& options,
                   TTextMeasure& measure) {
  std::string prepared = PrepareText(text);
  return TLayoutBuilder(rect, options, measure).Run(prepared);
}

void OffsetLayout(TLayout& layout, int dy) {
  for (TLine& line : layout.lines) {
    line.top += dy;
    for (TFragment& f : line.fragments) f.top += dy;
  }
}

const TFragment* LinkFragmentAt(const TLayout& layout, int x, int y) {
  for (const TLine& line : layout.lines) {
    for (const TFragment& f : line.fragments) {
      if (!f.href.empty() && Inside(x, y, f.x, f.top, f.width, f.height)) return &f;
    }
  }
  return nullptr;
}

std::string AnchorAt(const TLayout& layout, int x, int y) {
  const TFragment* f = LinkFragmentAt(layout, x, y);
  return f ? f->href : std::string();
}

}  // namespace skyloom::html
