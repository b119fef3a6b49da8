// The bundled sample disc must load whole: every link of every page placed, no line stopping the load.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "disc.h"
#include "menu/frmMenu.h"
#include "menu/modMouseGlobal.h"
#include "menu/modRoutines.h"
#include "platform/controls.h"
#include "startup/frmMain.h"

namespace {

std::string ReadSource(const std::string& name) {
  std::ifstream in(std::string(VELMARO_SOURCE_DIR) + "/disc/" + name, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class SampleDiscTest : public DiscTest {
 protected:
  void SetUp() override {
    for (const char* name : {"kavo.inf", "menu.inf"})
      fake.AddFile(L"D:\\" + FromUtf8(name), ReadSource(name));
    fake.AddPicture(L"D:\\images\\splash.png", 400, 240);
    fake.AddPicture(L"D:\\images\\menu.png", 480, 360);
    for (const char* name : {"docs\\readme.txt", "docs\\guide.txt", "sounds\\intro.wav", "sounds\\over.wav",
                             "sounds\\hello.wav", "velmaro.exe"})
      fake.AddFile(L"D:\\" + FromUtf8(name), "x");
  }
};

TEST_F(SampleDiscTest, SplashThenEveryPageLoadsWhole) {
  Start();
  EXPECT_TRUE(fake.window(Win::Splash).visible);
  EXPECT_TRUE(menuReady);
  ASSERT_TRUE(fake.FireTimer());
  EXPECT_TRUE(fake.window(Win::Menu).visible);
  EXPECT_EQ(fake.window(Win::Menu).inner.width, 480 * 15);

  int shown = 0;
  for (int i = 0; i < kLinkCount; ++i) {
    if (!lblLink(i).Visible()) continue;
    ++shown;
    const TwipRect& r = lblLink(i).Rect();
    EXPECT_LE(r.left + r.width, 480 * 15) << "link " << i << " fits the picture";
    EXPECT_LE(r.top + r.height, 360 * 15) << "link " << i << " fits the picture";
  }
  EXPECT_EQ(shown, 8);

  Then();
  fake.Click(6);  // More links
  EXPECT_TRUE(menuReady);
  EXPECT_EQ(lblLink(0).Caption(), L"About this disc");
  fake.Click(2);  // Back to the start
  EXPECT_EQ(lblLink(0).Caption(), L"Read me first");

  Then();
  for (int16_t link : {0, 1, 3})
    fake.Click(link);
  for (const std::string& line : Then())
    EXPECT_EQ(line.find("MessageBox"), std::string::npos) << line;
}

}  // namespace
