#include "qt/sui_progress_bar.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include "run/progress_figures.h"

namespace zered {

namespace {

struct Look {
  QColor border;
  QColor color;
  // The default picture.
  TGradient gradient;
};

Look LookOf(TsuiUIStyle style) {
  switch (style) {
    case WinXP:
      return {QColor(127, 157, 185),
              QColor(255, 255, 255),
              {{200, 245, 200}, {110, 215, 110}, {50, 180, 50}, {130, 225, 130}}};
    case DeepBlue:
      return {QColor(0, 45, 110),
              QColor(230, 235, 245),
              {{120, 160, 230}, {50, 95, 185}, {10, 50, 140}, {40, 85, 175}}};
    case Protein:
      return {QColor(110, 110, 110),
              QColor(240, 240, 240),
              {{235, 235, 235}, {190, 190, 190}, {150, 150, 150}, {200, 200, 200}}};
    case BlueGlass:
      return {QColor(80, 120, 170),
              QColor(235, 242, 250),
              {{200, 225, 255}, {140, 185, 240}, {70, 130, 215}, {120, 175, 240}}};
    case MacOS:
    case FromThemeFile:
      break;
  }
  return {QColor(127, 127, 127), QColor(231, 231, 231), kGlossyBlue};
}

QImage GradientPicture(const TGradient& gradient) {
  QImage picture(kFillPictureWidth, kFillPictureHeight, QImage::Format_RGB32);
  for (int y = 0; y < kFillPictureHeight; ++y) {
    const TRgb row = GradientRow(gradient, y, kFillPictureHeight);
    for (int x = 0; x < kFillPictureWidth; ++x) {
      picture.setPixelColor(x, y, QColor(row.red, row.green, row.blue));
    }
  }
  return picture;
}

}  // namespace

TsuiProgressBar::TsuiProgressBar(QWidget* parent) : QWidget(parent) {
  // The bar paints every pixel itself from its off-screen image.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  LoadLookDefaults();
  caption_percent_ = PercentDone();
  caption_ = QString::number(caption_percent_) + QLatin1Char('%');
}

QImage TsuiProgressBar::GlossyBluePicture() { return GradientPicture(kGlossyBlue); }

void TsuiProgressBar::LoadLookDefaults() {
  if (ui_style_ == FromThemeFile) return;
  Look look = LookOf(ui_style_);
  border_color_ = look.border;
  color_ = look.color;
  picture_ = GradientPicture(look.gradient);
}

void TsuiProgressBar::SetUIStyle(TsuiUIStyle style) {
  ui_style_ = style;
  LoadLookDefaults();
  RepaintNow();
}

void TsuiProgressBar::SetOrientation(TsuiProgressBarOrientation orientation) {
  orientation_ = orientation;
  LoadLookDefaults();
  RepaintNow();
}

void TsuiProgressBar::SetCaptionColor(const QColor& color) {
  caption_color_ = color;
  RepaintNow();
}

void TsuiProgressBar::SetShowCaption(bool show) {
  show_caption_ = show;
  RepaintNow();
}

void TsuiProgressBar::SetSmartShowCaption(bool smart) {
  smart_show_caption_ = smart;
  RepaintNow();
}

void TsuiProgressBar::SetBorderColor(const QColor& color) {
  border_color_ = color;
  RepaintNow();
}

void TsuiProgressBar::SetColor(const QColor& color) {
  color_ = color;
  RepaintNow();
}

void TsuiProgressBar::SetPicture(const QImage& picture) {
  picture_ = picture;
  RepaintNow();
}

void TsuiProgressBar::SetMax(int32_t max) {
  max_ = max;
  RangeChanged();
}

void TsuiProgressBar::SetMin(int32_t min) {
  min_ = min;
  RangeChanged();
}

void TsuiProgressBar::SetPosition(int32_t position) {
  position_ = position;
  RangeChanged();
}

int64_t TsuiProgressBar::PercentDone() const { return zered::PercentDone(min_, max_, position_); }

int TsuiProgressBar::FilledExtent(int length) const {
  return zered::FilledExtent(min_, max_, position_, length);
}

void TsuiProgressBar::RangeChanged() {
  int64_t percent = PercentDone();
  if (percent != caption_percent_) {
    caption_percent_ = percent;
    caption_ = QString::number(percent) + QLatin1Char('%');
  }
  if (ever_painted_ && CurrentAppearance() == painted_) return;
  RepaintNow();
}

TsuiProgressBar::Appearance TsuiProgressBar::CurrentAppearance() {
  Appearance appearance;
  appearance.percent = caption_percent_;
  bool horizontal = orientation_ == suiHorizontal;
  appearance.extent = FilledExtent((horizontal ? width() : height()) - 1);
  appearance.caption_drawn =
      horizontal && show_caption_ && !(smart_show_caption_ && position_ == min_);
  return appearance;
}

void TsuiProgressBar::RepaintNow() {
  // A hidden bar is painted in full when it is shown.
  if (isVisible()) repaint();
}

void TsuiProgressBar::RenderTo(QImage& image) {
  const int w = width();
  const int h = height();
  if (image.size() != QSize(w, h) || image.format() != QImage::Format_RGB32) {
    image = QImage(w, h, QImage::Format_RGB32);
  }
  if (w <= 0 || h <= 0) return;
  QPainter painter(&image);
  if (orientation_ == suiHorizontal) {
    int x = FilledExtent(w - 1);
    if (x == 0) x = 1;
    if (!picture_.isNull() && x > 1 && h > 2) {
      painter.drawImage(QRect(1, 1, x - 1, h - 2), picture_);
    }
    if (w - 1 > x && h > 2) painter.fillRect(QRect(x, 1, w - 1 - x, h - 2), color_);
    if (show_caption_ && !(smart_show_caption_ && position_ == min_)) {
      QFontMetrics metrics(painter.font());
      int left = (w - metrics.horizontalAdvance(caption_)) / 2;
      int top = (h - metrics.height()) / 2;
      painter.setPen(caption_color_);
      painter.drawText(left, top + metrics.ascent(), caption_);
    }
  } else {
    // Vertical bars fill upwards from the bottom edge and carry no caption.
    show_caption_ = false;
    int y = FilledExtent(h - 1);
    if (y == 0) y = 1;
    int fill_top = h - y;
    if (!picture_.isNull() && y > 1 && w > 2) {
      painter.drawImage(QRect(1, fill_top, w - 2, y - 1), picture_);
    }
    if (fill_top > 1 && w > 2) painter.fillRect(QRect(1, 1, w - 2, fill_top - 1), color_);
  }
  painter.setPen(border_color_);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, w - 1, h - 1);
}

void TsuiProgressBar::paintEvent(QPaintEvent* /*event*/) {
  RenderTo(frame_);
  QPainter painter(this);
  painter.drawImage(0, 0, frame_);
  painted_ = CurrentAppearance();
  ever_painted_ = true;
}

}  // namespace zered
