// The formatted-text layout with fixed character metrics (fake_canvas.h):
// size 8 gives 5-pixel characters and 12-pixel lines, size 12 7 and 16.
#include <gtest/gtest.h>

#include <string>

#include "tests/widgets/fake_canvas.h"
#include "widgets/html_layout.h"

namespace skyloom::html {
namespace {

using testing::TFakeCanvas;

TLayout Layout(std::string_view text, int width = 200, int height = 1000) {
  TFakeCanvas canvas;
  TLayoutOptions options;
  options.font.name = "Tahoma";
  options.font.size = 8;
  return LayoutHtml(text, {0, 0, width, height}, options, canvas);
}

std::string Shown(const TLayout& layout) {
  std::string text;
  for (const TLine& line : layout.lines) {
    for (const TFragment& f : line.fragments) text += f.text;
  }
  return text;
}

TFragment Only(const TLayout& layout) {
  EXPECT_EQ(layout.lines.size(), 1u);
  if (layout.lines.empty() || layout.lines[0].fragments.size() != 1) {
    ADD_FAILURE() << "not one fragment";
    return {};
  }
  return layout.lines[0].fragments[0];
}

TEST(HtmlText, EntitiesInAnyCaseAndRunEntities) {
  EXPECT_EQ(Shown(Layout("a&AMP;b")), "a&b");
  EXPECT_EQ(Shown(Layout("&Copy;&reg;&SECT;&permil;&para;&trade;&euro;&quot;")),
            "\xA9\xAE\xA7\x89\xB6\x99\x80\"");
  // A doubled "&amp;" still shows its ampersands after the repeated passes.
  EXPECT_EQ(PrepareText("&amp;amp;"), "&&&");
  // "&lt;" and "&gt;" show the tag instead of starting it.
  TLayout tag = Layout("&lt;B&gt;x");
  EXPECT_EQ(Shown(tag), "<B>x");
  EXPECT_FALSE(Only(tag).font.bold);
  // Only the lower-case spellings count inside a run.
  EXPECT_EQ(Shown(Layout("a&nbsp;b&LT;")), "a bLT;");
}

TEST(HtmlText, HashTagLineBreaksAndAccelerators) {
  EXPECT_EQ(Shown(Layout("a<#b>c<#d>")), "a#bc");
  EXPECT_EQ(Layout("a\r\nb").lines.size(), 2u);
  TLayout feed = Layout("a\nb");
  EXPECT_EQ(feed.lines.size(), 1u);
  EXPECT_EQ(Shown(feed), "ab");
  EXPECT_EQ(StripAccelerators("&&x&y"), "&xy");
}

TEST(HtmlText, ColoursAndSizes) {
  EXPECT_EQ(ParseColor("#FF8000"), 0x0080FFu);
  EXPECT_EQ(ParseColor("#ff8000"), 0x0080FFu);
  EXPECT_EQ(ParseColor("#FF80"), 0x0080FFu);
  EXPECT_EQ(ParseColor("#F"), 0u);
  EXPECT_EQ(ParseColor("#"), 0u);
  EXPECT_EQ(ParseColor("CLRED"), 0x0000FFu);
  EXPECT_EQ(ParseColor("clNavy"), 0x800000u);
  EXPECT_EQ(ParseColor("clMaroon"), 0x000080u);
  EXPECT_EQ(ParseColor("clBackground"), 0x80000001u);
  EXPECT_EQ(ParseColor("clInfoBk"), 0x80000018u);
  EXPECT_EQ(ParseColor("clnosuch"), 0u);
  EXPECT_EQ(Only(Layout("<FONT SIZE=3>x")).font.size, 12);
  EXPECT_EQ(Only(Layout("<FONT SIZE=\"12\">x")).font.size, 12);
  EXPECT_EQ(Only(Layout("<font size=1>x")).font.size, 8);
  EXPECT_EQ(Only(Layout("<FONT SIZE=big>x")).font.size, 0);
  TFragment f = Only(Layout("<FONT FACE=\"Times New Roman\" COLOR=\"#0000ff\" BGCOLOR=clLime>x"));
  EXPECT_EQ(f.font.name, "Times New Roman");
  EXPECT_EQ(f.font.color, 0xFF0000u);
  EXPECT_EQ(f.background, 0x00FF00u);
}

TEST(HtmlLayout, TagsSwitchStyleAndClosingTagsRestore) {
  TLayout layout = Layout("<B>b</B><I>i</I><U>u</U><S>s</S><FONT COLOR=clRed SIZE=4>f</FONT>n");
  const auto& f = layout.lines.at(0).fragments;
  ASSERT_EQ(f.size(), 6u);
  EXPECT_TRUE(f[0].font.bold);
  EXPECT_TRUE(f[1].font.italic && !f[1].font.bold);
  EXPECT_TRUE(f[2].font.underline && !f[2].font.italic);
  EXPECT_TRUE(f[3].font.strike && !f[3].font.underline);
  EXPECT_EQ(f[4].font.size, 14);
  EXPECT_EQ(f[4].font.color, 0x0000FFu);
  EXPECT_EQ(f[5].font.size, 8);
  EXPECT_EQ(f[5].font.color, 0u);
}

TEST(HtmlLayout, WrapsAtBlanksAndKeepsLongWordsWhole) {
  // 40 pixels, 5 per character; the first line starts 1 pixel in.
  TLayout wrapped = Layout("aaa bbb cccc", 40);
  ASSERT_EQ(wrapped.lines.size(), 3u);  // "bbb cccc" ends at 40: at the edge
  EXPECT_EQ(wrapped.lines[0].fragments[0].x, 1);
  EXPECT_EQ(wrapped.lines[1].fragments[0].x, 0);
  EXPECT_EQ(Shown(Layout("aaa bbb ccc", 40)), "aaa bbb ccc");
  EXPECT_EQ(Layout("aaa bbb ccc", 40).lines.size(), 2u);
  // A word split by a tag stays on its line.
  EXPECT_EQ(Layout("aaaaaaa<B>bb</B>", 40).lines.size(), 1u);
  // A word wider than the line gets a line of its own and is not dropped.
  TLayout wide = Layout("a xxxxxxxxxxxxxxxxxxxx b", 40);
  ASSERT_EQ(wide.lines.size(), 3u);
  EXPECT_EQ(wide.lines[1].fragments[0].text, "xxxxxxxxxxxxxxxxxxxx ");
  // Lines starting at or below the bottom are cut.
  EXPECT_EQ(Layout("a<BR>b<BR>c", 200, 24).lines.size(), 2u);
}

TEST(HtmlLayout, AlignmentCarriesOverAndIndents) {
  TLayout layout = Layout("<P ALIGN=center>ab</P><P ALIGN=\"centre\">cd</P><P align=Right INDENT=3>ef<BR>"
                          "<P ALIGN=left>gh",
                          100);
  ASSERT_EQ(layout.lines.size(), 4u);
  EXPECT_EQ(layout.lines[0].fragments[0].x, 45);
  EXPECT_EQ(layout.lines[1].fragments[0].x, 45);
  EXPECT_EQ(layout.lines[2].fragments[0].x, 93);
  EXPECT_EQ(layout.lines[3].fragments[0].x, 3);
  // IND moves the pen to a distance from the left edge.
  EXPECT_EQ(Layout("<BR>a<IND X=50>b").lines[1].fragments[1].x, 50);
}

TEST(HtmlLayout, LineHeightsAndScripts) {
  TLayout mixed = Layout("<FONT SIZE=5>A</FONT>b");
  EXPECT_EQ(mixed.lines[0].height, 20);
  EXPECT_EQ(mixed.lines[0].fragments[1].top, 8);  // bottom-aligned
  TLayout sub = Layout("a<SUB>b</SUB>c");
  EXPECT_EQ(sub.lines[0].height, 15);
  EXPECT_EQ(sub.lines[0].fragments[0].top, 0);
  EXPECT_EQ(sub.lines[0].fragments[1].top, 3);
  EXPECT_EQ(sub.lines[0].fragments[2].top, 0);
  TLayout sup = Layout("a<SUP>b</SUP>");
  EXPECT_EQ(sup.lines[0].height, 15);
  EXPECT_EQ(sup.lines[0].fragments[0].top, 3);
  EXPECT_EQ(sup.lines[0].fragments[1].top, 0);
  EXPECT_EQ(Layout("a<BR><BR>b").height, 36);
}

TEST(HtmlLayout, LinkHitTestAtTheEdges) {
  TLayout layout = Layout("ab <A HREF=\"https://Quillbright.example/Path\">link</A> c");
  const std::string target = "https://Quillbright.example/Path";
  // "ab " covers 1..15, the link 16..35 and 0..11.
  EXPECT_EQ(AnchorAt(layout, 16, 0), target);
  EXPECT_EQ(AnchorAt(layout, 35, 11), target);
  EXPECT_EQ(AnchorAt(layout, 15, 5), "");
  EXPECT_EQ(AnchorAt(layout, 36, 5), "");
  EXPECT_EQ(AnchorAt(layout, 20, 12), "");
  const TFragment& link = layout.lines[0].fragments[1];
  EXPECT_TRUE(link.font.underline);
  EXPECT_EQ(link.font.color, 0xFF0000u);
  const TFragment& after = layout.lines[0].fragments[3];
  EXPECT_FALSE(after.font.underline);
  EXPECT_EQ(after.font.color, 0u);
  EXPECT_TRUE(after.href.empty());
}

// A link without a target is still a link while it lasts, and closing it
// gives the text back its own look; a stray closing tag changes nothing.
TEST(HtmlLayout, ALinkWithoutATargetEndsAtItsClosingTag) {
  for (const char* open : {"<A>", "<A HREF=\"\">"}) {
    TLayout layout = Layout(std::string("<FONT COLOR=clRed>a") + open + "b</A>c</A>d");
    const auto& f = layout.lines.at(0).fragments;
    ASSERT_EQ(f.size(), 4u) << open;
    EXPECT_TRUE(f[1].font.underline) << open;
    EXPECT_EQ(f[1].font.color, 0xFF0000u) << open;
    for (int i : {0, 2, 3}) {
      EXPECT_FALSE(f[i].font.underline) << open << i;
      EXPECT_EQ(f[i].font.color, 0x0000FFu) << open << i;
    }
  }
}

TEST(HtmlLayout, PicturesBulletsAndSkippedTags) {
  TLayout layout = Layout("<IMG SRC=\"IDX:0\"><IMG SRC=named><IMG SRC=\"SSYS:x\" WIDTH=8 HEIGHT=4>"
                          "<BLINK>y<R a=90>z<UNKNOWN>");
  const auto& f = layout.lines.at(0).fragments;
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[0].kind, TFragment::Kind::Picture);
  EXPECT_EQ(f[0].width, 16);
  EXPECT_EQ(f[1].width, 8);
  EXPECT_EQ(f[1].height, 4);
  EXPECT_EQ(f[2].text, "y");
  EXPECT_FALSE(f[2].font.bold);
  // A 16-pixel picture beside 12-pixel text: bottoms aligned, or the text
  // raised to the picture's top or middle.
  EXPECT_EQ(Layout("<IMG SRC=\"IDX:1\">x").lines[0].fragments[1].top, 4);
  EXPECT_EQ(Layout("<IMG SRC=\"IDX:1\" ALIGN=\"TOP\">x").lines[0].fragments[1].top, 0);
  EXPECT_EQ(Layout("<IMG SRC=\"IDX:1\" ALIGN=\"middle\">x").lines[0].fragments[1].top, 2);
  TFragment marked = Only(Layout("<HI>h"));
  EXPECT_EQ(marked.background, 0x8000000Du);  // the system highlight colours
  EXPECT_EQ(marked.font.color, 0x8000000Eu);
  EXPECT_EQ(Layout("<BODY BGCOLOR=clTeal>").bodyBackground, 0x808000u);
  TLayout list = Layout("<UL><UL><LI>x</UL>");
  ASSERT_EQ(list.lines.at(0).fragments.size(), 2u);
  EXPECT_EQ(list.lines[0].fragments[0].font.name, "Symbol");
  EXPECT_EQ(list.lines[0].fragments[0].x, 25);  // 12 per level, 1 in on the first line
}

TEST(HtmlPaint, RuleShadowAndBackgrounds) {
  TFakeCanvas canvas;
  TLayoutOptions options;
  options.font.size = 8;
  TLayout layout = LayoutHtml("<P BGCOLOR=#00FF00>x<HR><SHAD>s</SHAD><Z>h</Z><E>ee</E>", {0, 0, 50, 100}, options, canvas);
  PaintLayout(layout, {0x808080, 2}, canvas);
  const auto& c = canvas.calls;
  ASSERT_GE(c.size(), 6u);
  EXPECT_EQ(c[0].what, "fill");  // the paragraph's line area
  EXPECT_EQ(c[0].x2, 50);
  EXPECT_EQ(c[0].color, 0x00FF00u);
  EXPECT_EQ(c[1].what, "text");
  EXPECT_EQ(c[2].what, "line");  // the rule, 1 pixel below the 12-pixel line
  EXPECT_EQ(c[2].y, 13);
  EXPECT_EQ(c[2].x2, 50);
  // The shadow first, 2 pixels right and down, in the shadow colour.
  EXPECT_EQ(c[4].what, "text");
  EXPECT_EQ(c[4].x - c[5].x, 2);
  EXPECT_EQ(c[4].color, 0x808080u);
  int texts = 0, lines = 0;
  for (const auto& call : c) {
    texts += call.what == "text";
    lines += call.what == "line" && call.color == 0x0000FFu;
  }
  EXPECT_EQ(texts, 4);  // x, shadow, s, ee: hidden text is not drawn
  EXPECT_EQ(lines, 5);  // 10 pixels of zig-zag in 2-pixel steps
}

// Two links to the same target: only the hovered one takes the hover
// colours; an ALT picture replaces its picture only under the mouse; the
// BODY picture is tiled from the top-left over the whole rectangle.
TEST(HtmlPaint, HoveredLinkAltPictureAndBodyTiles) {
  TFakeCanvas canvas;
  TLayoutOptions options;
  options.font.size = 8;
  TLayout layout = LayoutHtml("<BODY BACKGROUND=\"IDX:9\"><A HREF=x>a</A>b<A HREF=x>c<IMG SRC=\"IDX:1\" ALT=\"IDX:2\"></A>",
                              {0, 0, 40, 20}, options, canvas);
  TPaintOptions paint;
  paint.hover = true;
  paint.hoverColor = 0x00FF00;
  paint.hoverFontColor = 0x0000FF;
  auto run = [&](int link, int x, int y) {
    canvas.calls.clear();
    paint.hoverLink = link;
    paint.mouseX = x;
    paint.mouseY = y;
    PaintLayout(layout, paint, canvas);
    std::string seen;
    for (const auto& c : canvas.calls) {
      if (c.what == "fill") seen += "fill@" + std::to_string(c.x) + " ";
      if (c.what == "text") seen += c.text + (c.color == 0x0000FFu ? "!" : c.color == 0xFF0000u ? "~" : "") + " ";
      if (c.what == "picture" && c.text != "IDX:9") seen += c.text + " ";
    }
    return seen;
  };
  // Characters are 5 pixels wide, 1 pixel in: a at 1, b at 6, c at 11, the
  // picture at 16..31.
  EXPECT_EQ(run(0, -1, -1), "a~ b c~ IDX:1 ");
  EXPECT_EQ(run(1, 2, 5), "fill@1 a! b c~ IDX:1 ");
  EXPECT_EQ(run(2, 12, 5), "a~ b fill@11 c! IDX:1 ");
  EXPECT_EQ(run(2, 20, 5), "a~ b fill@11 c! IDX:2 ");
  paint.hover = false;
  EXPECT_EQ(run(2, 20, 5), "a~ b c~ IDX:2 ");
  EXPECT_EQ(LinkFragmentAt(layout, 20, 5)->link, 2);
  std::vector<std::pair<int, int>> tiles;
  for (const auto& c : canvas.calls) {
    if (c.text == "IDX:9") tiles.emplace_back(c.x, c.y);
  }
  EXPECT_EQ(tiles, (std::vector<std::pair<int, int>>{{0, 0}, {16, 0}, {32, 0}, {0, 16}, {16, 16}, {32, 16}}));
}

TEST(HtmlLayout, BadInputStaysInside) {
  const char* cases[] = {"<B", "<", "&", "abc<", "a&", "<FONT COLOR=\"#12>x", "<FONT COLOR=#1>x",
                         "<FONT SIZE=>x", "<FONT SIZE=\"99999999999\">x", "<A HREF=>x</A></A></A>",
                         "<P ALIGN=\"RIGHT>x", "<IMG SRC=\"IDX:>", "<IND X=-5>x", "</UL></UL><LI>x",
                         "<#", "<#x", "&amp", "<>", "</>", "<P INDENT=99999999999>x"};
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    Layout(text);
  }
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "<FONT SIZE=2><B><UL><A HREF=x><SUB>";
  deep += "x";
  EXPECT_EQ(Shown(Layout(deep)), "x");
  std::string big(1 << 20, 'w');
  for (std::size_t i = 7; i < big.size(); i += 8) big[i] = ' ';
  TLayout layout = Layout(big, 200, 100);
  EXPECT_LE(layout.lines.size(), 9u);  // cut at the bottom
}

}  // namespace
}  // namespace skyloom::html
