// velmaro-author preview on generated discs: where the text lands, which pages are drawn, the overlay.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "disc_folder.h"
#include "tools/author/preview.h"

namespace {

struct Box {
  int left = -1, top = -1, right = -1, bottom = -1;
  int count = 0;
};

class Disc {
 public:
  Disc() {
    char pattern[] = "/tmp/velmaro-preview-test.XXXXXX";
    root_ = mkdtemp(pattern);
    out_ = root_ + "/out";
  }
  ~Disc() { std::system(("rm -rf '" + root_ + "'").c_str()); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(root_ + "/disc/" + name, std::ios::binary) << text;
  }
  // A disc with a navy picture of width x height pixels and these menu.inf lines.
  void Make(int width, int height, const std::vector<std::string>& lines) {
    mkdir((root_ + "/disc").c_str(), 0777);
    Write("kavo.inf", "001\r\n\r\n\r\nmenu.png\r\n\r\n\r\n");
    std::string menu;
    for (const std::string& l : lines)
      menu += l + "\r\n";
    Write("menu.inf", menu);
    if (width > 0) {
      GdkPixbuf* p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
      gdk_pixbuf_fill(p, 0x000080ff);
      gdk_pixbuf_save(p, (root_ + "/disc/menu.png").c_str(), "png", nullptr, nullptr);
      g_object_unref(p);
    }
  }
  int Run(std::vector<std::string> extra, std::string* output = nullptr) {
    std::vector<std::string> args = {root_ + "/disc", "--out", out_};
    args.insert(args.end(), extra.begin(), extra.end());
    testing::internal::CaptureStdout();
    int rc = Preview(args);
    std::string text = testing::internal::GetCapturedStdout();
    if (output) *output = text;
    return rc;
  }
  std::string Out(const std::string& name) const { return out_ + "/" + name; }
  bool Exists(const std::string& name) const { return access(Out(name).c_str(), F_OK) == 0; }

 private:
  std::string root_, out_;
};

struct Image {
  explicit Image(const std::string& file) : pixbuf(gdk_pixbuf_new_from_file(file.c_str(), nullptr)) {}
  ~Image() {
    if (pixbuf) g_object_unref(pixbuf);
  }
  int Width() const { return gdk_pixbuf_get_width(pixbuf); }
  int Height() const { return gdk_pixbuf_get_height(pixbuf); }
  // The box of the pixels that `match` accepts, colours as 0xRRGGBB.
  Box Find(const std::function<bool(unsigned)>& match) const {
    Box b;
    const guchar* px = gdk_pixbuf_read_pixels(pixbuf);
    int stride = gdk_pixbuf_get_rowstride(pixbuf), n = gdk_pixbuf_get_n_channels(pixbuf);
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) {
        const guchar* p = px + y * stride + x * n;
        if (!match((p[0] << 16) | (p[1] << 8) | p[2])) continue;
        if (b.count++ == 0) b = Box{x, y, x + 1, y + 1, 1};
        b.left = std::min(b.left, x);
        b.top = std::min(b.top, y);
        b.right = std::max(b.right, x + 1);
        b.bottom = std::max(b.bottom, y + 1);
      }
    return b;
  }
  GdkPixbuf* pixbuf;
};

// Near a pure colour: the solid pixels of text drawn in it.
std::function<bool(unsigned)> Near(unsigned rgb) {
  return [rgb](unsigned c) {
    for (int s = 0; s < 24; s += 8)
      if (std::abs(static_cast<int>((c >> s) & 255) - static_cast<int>((rgb >> s) & 255)) > 40) return false;
    return true;
  };
}

TEST(Preview, TextLandsAtItsTwipsPositionAtEachDpi) {
  Disc disc;
  // 1500 x 900 twips: 100 x 60 px at 96 DPI.
  disc.Make(300, 200, {"0|0|Hello|DejaVu Sans|1012|16777215|65535|1500|900|7|"});
  struct {
    unsigned dpi;
    int width, height, left, top, emHeight;
  } cases[] = {{96, 300, 200, 100, 60, 16},
               {120, 375, 250, 125, 75, 20},
               {144, 450, 300, 150, 90, 24},
               {192, 600, 400, 200, 120, 32}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    ASSERT_EQ(disc.Run({"--dpi", std::to_string(c.dpi)}), 0);
    Image page(disc.Out("page-0.png"));
    ASSERT_TRUE(page.pixbuf);
    EXPECT_EQ(page.Width(), c.width);
    EXPECT_EQ(page.Height(), c.height);
    Box text = page.Find(Near(0xFFFFFF));
    ASSERT_GT(text.count, 0);
    // The H's stem starts a bearing to the right of the label; its top lies below the cell's top.
    EXPECT_GE(text.left, c.left);
    EXPECT_LE(text.left, c.left + c.emHeight / 6 + 1);
    EXPECT_GT(text.top, c.top);
    EXPECT_LT(text.top, c.top + c.emHeight / 2);
    // "Hello" in bold at that size: about 2.7 ems wide, cap height about 0.73 em.
    EXPECT_NEAR(text.right - text.left, 2.7 * c.emHeight, 0.3 * c.emHeight);
    EXPECT_NEAR(text.bottom - text.top, 0.73 * c.emHeight, 2);
    // The background is the picture, scaled to the page.
    EXPECT_GT(page.Find(Near(0x000080)).count, c.width * c.height * 9 / 10);
  }
}

TEST(Preview, DrawsEveryPageALineNamesOrTheOneAskedFor) {
  Disc disc;
  disc.Make(100, 100,
            {"0|0|A|DejaVu Sans|0010|16777215|65535|0|0|5|3|", "3|0|B|DejaVu Sans|0010|16777215|65535|0|0|6|",
             "-2|0|C|DejaVu Sans|0010|16777215|65535|0|0|6|", "1.5|0|D|DejaVu Sans|0010|0|0|0|0|6|",
             "x|0|E|DejaVu Sans|0010|0|0|0|0|6|", "99999|0|F|DejaVu Sans|0010|0|0|0|0|6|"});
  std::string out;
  ASSERT_EQ(disc.Run({}, &out), 0);
  for (const char* page : {"page-0.png", "page-3.png", "page--2.png"}) {
    EXPECT_TRUE(disc.Exists(page)) << page;
    EXPECT_NE(out.find(disc.Out(page)), std::string::npos) << out;
  }
  EXPECT_FALSE(disc.Exists("page-1.png"));
  EXPECT_FALSE(disc.Exists("page-99999.png"));
  EXPECT_FALSE(disc.Exists("page-0-highlight.png"));

  Disc one;
  one.Make(100, 100, {"0|0|A|DejaVu Sans|0010|16777215|65535|0|0|7|"});
  ASSERT_EQ(one.Run({"--page", "7"}), 0);
  EXPECT_TRUE(one.Exists("page-7.png"));
  EXPECT_FALSE(one.Exists("page-0.png"));
}

TEST(Preview, LowerIndexOnTopAndOverlayLightsEachLinkInItsHighlight) {
  Disc disc;
  // Links 0 and 1 share their place: 0 (red) is drawn last. Link 2's highlight is no number: it stays green.
  disc.Make(300, 200,
            {"0|1|MMMM|DejaVu Sans|1014|65280|16711680|300|300|7|",
             "0|0|MMMM|DejaVu Sans|1014|255|65535|300|300|8|sounds\\hi.wav|",
             "0|2|Plain|DejaVu Sans|1014|65280|blue|300|1500|6|"});
  ASSERT_EQ(disc.Run({"--overlay"}), 0);
  Image page(disc.Out("page-0.png")), lit(disc.Out("page-0-highlight.png"));
  ASSERT_TRUE(page.pixbuf);
  ASSERT_TRUE(lit.pixbuf);
  Box red = page.Find(Near(0xFF0000)), green = page.Find(Near(0x00FF00));
  EXPECT_GT(red.count, 50);
  EXPECT_LT(red.bottom, 100);
  // Only link 2's green shows; link 1's green glyphs lie under link 0's red ones.
  EXPECT_GE(green.top, 100);
  Box yellow = lit.Find(Near(0xFFFF00)), blue = lit.Find(Near(0x0000FF)), litGreen = lit.Find(Near(0x00FF00));
  EXPECT_GT(yellow.count, 50);
  EXPECT_EQ(blue.count, 0);
  EXPECT_EQ(lit.Find(Near(0xFF0000)).count, 0);
  EXPECT_GE(litGreen.top, 100);
  EXPECT_EQ(page.Find(Near(0xFFFF00)).count, 0);
  // The overlay frames each link's box in magenta.
  EXPECT_GT(page.Find(Near(0xFF00FF)).count, 40);
}

TEST(Preview, AccessKeyIsUnderlinedAndADoubleAmpersandShowsOne) {
  Disc disc;
  disc.Make(300, 200,
            {"0|0|Tom && Home|DejaVu Sans|0014|16777215|0|150|150|7|",
             "0|1|Tom && &Home|DejaVu Sans|0014|16777215|0|150|1500|7|"});
  ASSERT_EQ(disc.Run({}), 0);
  Image page(disc.Out("page-0.png"));
  ASSERT_TRUE(page.pixbuf);
  // Lit at least half way from the navy: the underline is a thin anti-aliased line.
  auto white = [](unsigned c) { return ((c >> 16) & 255) > 128 && ((c >> 8) & 255) > 128; };
  // Same text, same width ("&&" is one "&"); the underlined one reaches lower, under the baseline.
  auto rows = [&](int top, int bottom) {
    Box b;
    const guchar* px = gdk_pixbuf_read_pixels(page.pixbuf);
    int stride = gdk_pixbuf_get_rowstride(page.pixbuf), n = gdk_pixbuf_get_n_channels(page.pixbuf);
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < page.Width(); ++x) {
        const guchar* p = px + y * stride + x * n;
        if (!white((p[0] << 16) | (p[1] << 8) | p[2])) continue;
        if (b.count++ == 0) b = Box{x, y, x + 1, y + 1, 1};
        b.left = std::min(b.left, x), b.right = std::max(b.right, x + 1);
        b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y + 1);
      }
    return b;
  };
  Box first = rows(0, 90), second = rows(90, 200);
  ASSERT_GT(first.count, 0);
  ASSERT_GT(second.count, 0);
  EXPECT_NEAR(first.right - first.left, second.right - second.left, 1);
  EXPECT_GT(second.bottom - 90, first.bottom);
  EXPECT_GT(second.count, first.count);
}

TEST(Preview, MissingPictureIsTheEmptyBoxAndMissingFontsAreNamed) {
  Disc disc;
  disc.Make(0, 0, {"0|0|Hello|No Such Face Here|0010|0|0|150|150|7|"});
  std::string out;
  ASSERT_EQ(disc.Run({"--dpi", "144"}, &out), 0);
  Image page(disc.Out("page-0.png"));
  ASSERT_TRUE(page.pixbuf);
  EXPECT_EQ(page.Width(), 542);  // 361 x 241 at 96 DPI
  EXPECT_EQ(page.Height(), 362);
  EXPECT_NE(out.find("preview: \"No Such Face Here\" is not installed here; drawn with \""),
            std::string::npos)
      << out;

  EXPECT_EQ(Preview({"/nonexistent/disc"}), 2);
  EXPECT_EQ(Preview({}), 2);
  EXPECT_EQ(Preview({"/tmp", "--dpi", "abc"}), 2);
}

// Cairo draws at most 32767 pixels a side: a larger page is drawn at the highest DPI that fits, and says so.
TEST(Preview, APageLargerThanAnImageCanBeIsDrawnAtAFittingDpi) {
  struct {
    int width, height;
    const char* dpi;
    const char* said;
  } cases[] = {{33000, 20, "96", "drawn at 95 DPI"},
               {20, 33000, "96", "drawn at 95 DPI"},
               {22000, 20, "144", "drawn at 142 DPI"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + c.dpi);
    Disc disc;
    disc.Make(c.width, c.height, {"0|0|Hello|DejaVu Sans|1012|16777215|65535|0|0|7|"});
    std::string out;
    ASSERT_EQ(disc.Run({"--dpi", c.dpi}, &out), 0);
    EXPECT_NE(out.find(c.said), std::string::npos) << out;
    Image page(disc.Out("page-0.png"));
    ASSERT_TRUE(page.pixbuf);
    EXPECT_LE(std::max(page.Width(), page.Height()), 32767);
    EXPECT_GT(std::max(page.Width(), page.Height()), 32000);
  }
}

// A heading is no link: in the starter disc it keeps its colour under the pointer, while the links light up.
TEST(Preview, TheStarterDiscsHeadingsDoNotLightUp) {
  DiscFolder starter;
  const std::string out = starter.path() + "-out";
  testing::internal::CaptureStdout();
  int status = Preview({starter.path(), "--out", out, "--overlay", "--page", "0"});
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(status, 0);
  Image page(out + "/page-0.png"), lit(out + "/page-0-highlight.png");
  ASSERT_TRUE(page.pixbuf && lit.pixbuf);
  // Rows of pixels that differ between the page and its lit twin, from the top.
  auto changed = [&](int top, int bottom) {
    int rows = 0;
    std::size_t stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(page.pixbuf));
    for (int y = top; y < bottom; ++y)
      if (std::memcmp(gdk_pixbuf_read_pixels(page.pixbuf) + y * stride,
                      gdk_pixbuf_read_pixels(lit.pixbuf) + y * stride, stride) != 0)
        ++rows;
    return rows;
  };
  // "Welcome" at 600 twips (40 px), 16 pt; "Install" at 1500 twips (100 px).
  EXPECT_EQ(changed(40, 70), 0);
  EXPECT_GT(changed(100, 120), 5);
  std::filesystem::remove_all(out);
}

}  // namespace
