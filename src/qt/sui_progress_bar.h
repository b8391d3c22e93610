#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace zered {

// Built-in looks; each supplies a default fill picture and colours when it is set.
enum TsuiUIStyle { FromThemeFile, MacOS, WinXP, DeepBlue, Protein, BlueGlass };

enum TsuiProgressBarOrientation { suiHorizontal, suiVertical };

// A horizontal bar with a filled part growing from the left and a centred percentage caption.
// Min, Max and Position are stored exactly as set, in any order. Every setter that changes
// what the bar shows repaints it before returning (synchronously, when the bar is visible);
// a setter that leaves the caption and the filled part as they are does not paint, so a caller
// may set Position once per record of a large table.
class TsuiProgressBar : public QWidget {
  Q_OBJECT

 public:
  explicit TsuiProgressBar(QWidget* parent = nullptr);

  TsuiUIStyle UIStyle() const { return ui_style_; }
  // Loads the look's default picture and colours.
  void SetUIStyle(TsuiUIStyle style);
  QColor CaptionColor() const { return caption_color_; }
  void SetCaptionColor(const QColor& color);
  bool ShowCaption() const { return show_caption_; }
  void SetShowCaption(bool show);
  // When set, no caption is drawn while Position equals Min.
  bool SmartShowCaption() const { return smart_show_caption_; }
  void SetSmartShowCaption(bool smart);
  int32_t Max() const { return max_; }
  void SetMax(int32_t max);
  int32_t Min() const { return min_; }
  void SetMin(int32_t min);
  int32_t Position() const { return position_; }
  void SetPosition(int32_t position);
  TsuiProgressBarOrientation Orientation() const { return orientation_; }
  // Loads the look's default picture and colours, as SetUIStyle does.
  void SetOrientation(TsuiProgressBarOrientation orientation);
  QColor BorderColor() const { return border_color_; }
  void SetBorderColor(const QColor& color);
  // The colour of the part not filled.
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  // Stretched over the filled part; a null image leaves the filled part unpainted.
  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& picture);

  // The percentage and the filled length out of `length` pixels (run/progress_figures.h).
  int64_t PercentDone() const;
  int FilledExtent(int length) const;
  // The bar's own text: PercentDone followed by "%".
  QString Caption() const { return caption_; }

  // Draws the whole bar, at the widget's current size, into `image` (resized when needed).
  void RenderTo(QImage& image);
  // The image copied to the screen by the most recent paint; null before the first paint.
  const QImage& LastFrame() const { return frame_; }

  // The 13 x 10 glossy blue gradient the main window shows in the filled part.
  static QImage GlossyBluePicture();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // What the screen shows; a setter repaints only when it changes.
  struct Appearance {
    int64_t percent = 0;
    int extent = 0;
    bool caption_drawn = false;
    bool operator==(const Appearance&) const = default;
  };

  Appearance CurrentAppearance();
  // After Min, Max or Position changed.
  void RangeChanged();
  void LoadLookDefaults();
  void RepaintNow();

  TsuiUIStyle ui_style_ = MacOS;
  QColor caption_color_ = Qt::black;
  bool show_caption_ = true;
  bool smart_show_caption_ = false;
  int32_t max_ = 100;
  int32_t min_ = 0;
  int32_t position_ = 50;
  TsuiProgressBarOrientation orientation_ = suiHorizontal;
  QColor border_color_;
  QColor color_;
  QImage picture_;
  // The caption is rebuilt only when the percentage changes: no allocation per record.
  int64_t caption_percent_ = 0;
  QString caption_;
  QImage frame_;
  Appearance painted_;
  bool ever_painted_ = false;
};

}  // namespace zered
