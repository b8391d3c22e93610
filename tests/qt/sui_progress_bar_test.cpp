#include "qt/sui_progress_bar.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdint>
#include <limits>

#include "test_application.h"

namespace zered {
namespace {

constexpr int kWidth = 486;
constexpr int kHeight = 20;
const QColor kBorder(127, 127, 127);
const QColor kFill(231, 231, 231);

// The bar as the main window sets it up, in the same order.
void SetUpLikeMainWindow(TsuiProgressBar& bar) {
  bar.setGeometry(8, 60, kWidth, kHeight);
  bar.SetUIStyle(MacOS);
  bar.SetCaptionColor(Qt::black);
  bar.SetShowCaption(true);
  bar.SetSmartShowCaption(false);
  bar.SetMax(100);
  bar.SetMin(0);
  bar.SetPosition(50);
  bar.SetOrientation(suiHorizontal);
  bar.SetBorderColor(kBorder);
  bar.SetColor(kFill);
  bar.SetPicture(TsuiProgressBar::GlossyBluePicture());
}

int CountPixels(const QImage& image, const QRect& area, const QColor& color) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) == color) ++count;
    }
  }
  return count;
}

bool IsPictureBlue(const QColor& c) { return c.blue() > c.red() + 40; }

struct RangeCase {
  int32_t min, max, position;
  int64_t percent;
  int extent;  // out of kWidth - 1 pixels
};

class ProgressBarRangeTest : public ::testing::TestWithParam<RangeCase> {
 protected:
  void SetUp() override { testing::TestApplication(); }
};

TEST_P(ProgressBarRangeTest, PercentCaptionAndFilledExtent) {
  const RangeCase& c = GetParam();
  TsuiProgressBar bar;
  SetUpLikeMainWindow(bar);
  bar.SetMin(c.min);
  bar.SetMax(c.max);
  bar.SetPosition(c.position);
  EXPECT_EQ(bar.PercentDone(), c.percent);
  EXPECT_EQ(bar.Caption(), QString::number(c.percent) + "%");
  EXPECT_EQ(bar.FilledExtent(kWidth - 1), c.extent);
}

constexpr int32_t kLow = std::numeric_limits<int32_t>::min();
constexpr int32_t kHigh = std::numeric_limits<int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressBarRangeTest,
    ::testing::Values(RangeCase{0, 0, 0, 0, 0},         // empty table
                      RangeCase{0, 10, 25, 250, 485},   // beyond Max: not clamped
                      RangeCase{0, 10, 10, 100, 485},   // full
                      RangeCase{0, 10, 0, 0, 0},        // at Min
                      RangeCase{-10, 10, -15, -25, 0},  // below Min
                      RangeCase{-10, 10, 0, 50, 242},   // negative Min
                      RangeCase{0, 3, 1, 33, 161},      // truncated, not rounded
                      RangeCase{0, 3, 2, 66, 323},      //
                      RangeCase{10, 0, 5, 50, 0},       // Min above Max: no fill
                      RangeCase{0, 8, 25, 312, 485},    // old Position against a new Max
                      // Differences wrap as 32-bit integers; the result needs 64 bits.
                      RangeCase{kLow, kHigh, 0, 214748364800, 242}));

class ProgressBarPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    SetUpLikeMainWindow(bar_);
  }

  QImage Render() {
    QImage image;
    bar_.RenderTo(image);
    return image;
  }

  TsuiProgressBar bar_;
};

TEST_F(ProgressBarPaintTest, FrameFillEdgeAndCaption) {
  bar_.SetPosition(20);  // fill edge at 485 * 20 / 100 = 97, left of the caption
  QImage image = Render();
  ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
  for (QPoint corner : {QPoint(0, 0), QPoint(kWidth - 1, 0), QPoint(0, kHeight - 1),
                        QPoint(kWidth - 1, kHeight - 1), QPoint(97, 0), QPoint(300, kHeight - 1)}) {
    EXPECT_EQ(image.pixelColor(corner), kBorder) << corner.x() << "," << corner.y();
  }
  EXPECT_TRUE(IsPictureBlue(image.pixelColor(1, 10)));
  EXPECT_TRUE(IsPictureBlue(image.pixelColor(96, 10)));
  EXPECT_EQ(image.pixelColor(97, 10), kFill);
  EXPECT_EQ(image.pixelColor(kWidth - 2, 10), kFill);
  // The picture is stretched top to bottom: its top row is lighter than its bottom half.
  EXPECT_GT(image.pixelColor(50, 1).lightness(), image.pixelColor(50, 12).lightness());
  EXPECT_GT(CountPixels(image, QRect(200, 1, 86, 18), Qt::black), 0);
}

TEST_F(ProgressBarPaintTest, FullBarReachesTheFrame) {
  bar_.SetPosition(100);
  QImage image = Render();
  EXPECT_TRUE(IsPictureBlue(image.pixelColor(kWidth - 2, 10)));
  EXPECT_EQ(image.pixelColor(kWidth - 1, 10), kBorder);
}

TEST_F(ProgressBarPaintTest, EmptyRangeShowsOnlyColourAndCaption) {
  bar_.SetMax(0);
  bar_.SetPosition(0);
  QImage image = Render();
  QRect inside(1, 1, kWidth - 2, kHeight - 2);
  int fill = CountPixels(image, inside, kFill);
  int caption = CountPixels(image, inside, Qt::black);
  EXPECT_GT(caption, 0);
  // Everything inside the frame is fill colour or (antialiased) caption, never picture.
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      ASSERT_FALSE(IsPictureBlue(image.pixelColor(x, y))) << x << "," << y;
    }
  }
  EXPECT_GT(fill, inside.width() * inside.height() / 2);
}

TEST_F(ProgressBarPaintTest, CaptionRules) {
  struct Case {
    bool show, smart;
    int32_t position;
    bool drawn;
  } cases[] = {{true, false, 0, true},  // 0% is drawn at Min
               {true, true, 0, false},  // smart: hidden at Min
               {true, true, 1, true},   //
               {false, false, 50, false}};
  for (const Case& c : cases) {
    bar_.SetShowCaption(c.show);
    bar_.SetSmartShowCaption(c.smart);
    bar_.SetPosition(c.position);
    QImage image = Render();
    EXPECT_EQ(CountPixels(image, QRect(200, 1, 86, 18), Qt::black) > 0, c.drawn)
        << c.show << c.smart << c.position;
  }
}

TEST_F(ProgressBarPaintTest, SettingPositionRepaintsBeforeReturning) {
  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(bar_));
  bar_.SetPosition(0);
  ASSERT_FALSE(bar_.LastFrame().isNull());
  EXPECT_EQ(bar_.LastFrame().pixelColor(50, 10), kFill);
  bar_.SetPosition(30);  // no event processing in between
  EXPECT_TRUE(IsPictureBlue(bar_.LastFrame().pixelColor(50, 10)));
  bar_.SetColor(Qt::red);
  EXPECT_EQ(bar_.LastFrame().pixelColor(kWidth - 2, 10), QColor(Qt::red));
}

}  // namespace
}  // namespace zered
