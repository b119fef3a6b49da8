#include <gtest/gtest.h>

#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/fake/fake_platform.h"

namespace {

class LabelTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLabels(); }
  FakePlatform fake;
};

TEST_F(LabelTest, CreatedAttributes) {
  for (int i : {0, 1, 49}) {
    const Label& label = lblLink(i);
    EXPECT_EQ(label.Caption(), L"Blank Label");
    EXPECT_FALSE(label.Visible());
    EXPECT_EQ(label.FontName(), L"Verdana");
    EXPECT_EQ(label.FontSize(), 12.0f);
    EXPECT_FALSE(label.FontBold());
    EXPECT_FALSE(label.FontItalic());
    EXPECT_EQ(label.ForeColor(), static_cast<int32_t>(0x80000012u));
    EXPECT_EQ(label.Tag(), L"&H80000012");
    EXPECT_EQ(label.Width(), 1440);
    EXPECT_EQ(label.Height(), 270);
  }
  EXPECT_EQ(lblLink(0).Left(), 1800);
  EXPECT_EQ(lblLink(0).Top(), 840);
  EXPECT_EQ(lblLink(7).Left(), 0);
  EXPECT_THROW(lblLink(50), AppError);
  EXPECT_THROW(lblLink(-1), AppError);
}

TEST_F(LabelTest, TextAndFontResizeEvenToTheSameValue) {
  Label& label = lblLink(1);
  using Setter = void (*)(Label&);
  const Setter resizers[] = {
      [](Label& l) { l.SetCaption(l.Caption()); },       [](Label& l) { l.SetFontName(l.FontName()); },
      [](Label& l) { l.SetFontSize(l.FontSize()); },     [](Label& l) { l.SetFontBold(l.FontBold()); },
      [](Label& l) { l.SetFontItalic(l.FontItalic()); },
  };
  for (Setter resize : resizers) {
    label.SetWidth(5000);
    resize(label);
    EXPECT_EQ(label.Width(), 11 * 120) << "Blank Label at 12 pt";
    EXPECT_EQ(label.Height(), 270);
  }
}

TEST_F(LabelTest, ColourTagPositionAndVisibilityKeepTheWidth) {
  Label& label = lblLink(2);
  label.SetCaption(L"Go");
  label.SetWidth(label.Width() + 250);
  label.SetForeColor(255);
  label.SetTag(L"65535");
  label.SetLeft(100);
  label.SetTop(200);
  label.SetVisible(true);
  EXPECT_EQ(label.Width(), 240 + 250);
  label.SetCaption(L"Longer");
  EXPECT_EQ(label.Width(), 720) << "the text replaces an added width";
  label.SetCaption(L"A");
  EXPECT_EQ(label.Width(), 120) << "and shrinks with it";
}

TEST_F(LabelTest, AmpersandsMarkAccessKeys) {
  int key = 0;
  EXPECT_EQ(ShownCaption(L"&Install", &key), L"Install");
  EXPECT_EQ(key, 0);
  EXPECT_EQ(ShownCaption(L"Tom && Jerry", &key), L"Tom & Jerry");
  EXPECT_EQ(key, -1);
  EXPECT_EQ(ShownCaption(L"Re&ad me", &key), L"Read me");
  EXPECT_EQ(key, 2);
  Label& label = lblLink(3);
  label.SetCaption(L"&&&Go");
  EXPECT_EQ(label.Width(), 3 * 120) << "the shown text is measured";
}

TEST_F(LabelTest, RoutingPrefersTheLowerIndexAndSkipsHiddenLabels) {
  Label& low = lblLink(4);
  Label& high = lblLink(9);
  for (Label* label : {&low, &high}) {
    label->SetCaption(L"Overlap");  // 840 x 270
    label->SetLeft(1000);
    label->SetTop(1000);
  }
  EXPECT_EQ(LabelAt(1100, 1100), -1) << "hidden labels are background";
  high.SetVisible(true);
  EXPECT_EQ(LabelAt(1100, 1100), 9);
  low.SetVisible(true);
  EXPECT_EQ(LabelAt(1100, 1100), 4);
  EXPECT_EQ(LabelAt(1000, 1000), 4) << "the top-left corner is inside";
  EXPECT_EQ(LabelAt(1840, 1100), -1) << "the right edge is outside";
  low.SetWidth(low.Width() + 250);
  EXPECT_EQ(LabelAt(1840, 1100), 4) << "an added width takes the pointer too";
}

TEST_F(LabelTest, RepaintsCoverTheOldAndNewPlaceOfVisibleLabels) {
  Label& label = lblLink(5);
  label.SetLeft(10);
  EXPECT_TRUE(fake.repaints.empty()) << "a hidden label paints nothing";
  label.SetVisible(true);
  label.SetLeft(500);
  ASSERT_EQ(fake.repaints.size(), 2u);
  EXPECT_EQ(fake.repaints[1].before.left, 10);
  EXPECT_EQ(fake.repaints[1].after.left, 500);
}

TEST(Colours, TopBitMeansSystemColour) {
  EXPECT_FALSE(IsSystemColor(0x00FFFFFF));
  EXPECT_FALSE(IsSystemColor(0));
  EXPECT_TRUE(IsSystemColor(static_cast<int32_t>(0x80000012u)));
  EXPECT_EQ(SystemColorIndex(static_cast<int32_t>(0x80000012u)), 18);
  EXPECT_EQ(SystemColorIndex(static_cast<int32_t>(0x8000000Fu)), 15);
}

}  // namespace

namespace {

// Text metrics 1.5 times the fake's once `scale` is set, as when the menu moves from 96 to 144 DPI.
class ScaledText : public FakePlatform {
 public:
  float scale = 1;
  TwipSize MeasureText(const LabelFont& font, const Text& caption) override {
    TwipSize size = FakePlatform::MeasureText(font, caption);
    return {size.width * scale, size.height * scale};
  }
};

TEST(RemeasureLabels, NewMetricsKeepTheWidthAddedOnTopAndRepaintVisibleLabels) {
  ResetLabels();
  ScaledText fake;
  Label& plain = lblLink(0);
  plain.SetCaption(L"Install");
  plain.SetVisible(true);
  Label& widened = lblLink(1);  // a bold caption gets 200 twips more than its text
  widened.SetCaption(L"Bold");
  widened.SetWidth(widened.Width() + 200);
  const float plainWidth = plain.Width(), widenedText = widened.Width() - 200, height = plain.Height();
  const TwipRect before = plain.Rect();
  fake.repaints.clear();
  fake.scale = 1.5f;
  RemeasureLabels();
  EXPECT_FLOAT_EQ(plain.Width(), plainWidth * 1.5f);
  EXPECT_FLOAT_EQ(plain.Height(), height * 1.5f);
  EXPECT_FLOAT_EQ(widened.Width(), widenedText * 1.5f + 200);
  EXPECT_EQ(plain.Left(), before.left);
  ASSERT_EQ(fake.repaints.size(), 1u);
  EXPECT_EQ(fake.repaints[0].label, 0);
  EXPECT_FLOAT_EQ(fake.repaints[0].before.width, before.width);
  EXPECT_FLOAT_EQ(fake.repaints[0].after.width, plainWidth * 1.5f);
}

}  // namespace
