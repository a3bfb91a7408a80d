#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>

#include "plot/toolpathpainter.h"
#include "ui/zoomedpath.h"

class QTimer;

namespace h33 {

// The backplot: a program's path in a plane's projection, coloured by feed.
// The wheel zooms about the pointer, a drag pans, a click selects the frame
// under the pointer. The path is rendered once into an image that moving and
// zooming only shift and scale until it is rendered again, so a large
// program stays responsive.
class ToolpathView : public QWidget {
  Q_OBJECT

 public:
  explicit ToolpathView(QWidget* parent = nullptr);

  // The picture stays owned by the caller and must outlive its use here.
  void SetPicture(const ProgramPicture* picture, Plane plane);
  void SetPlane(Plane plane);
  void ZoomToFit();
  void ZoomAt(const QPointF& pixel, double factor);
  void SelectFrame(std::uint32_t line);
  const ToolpathScene& Scene() const { return scene_; }

 signals:
  void FrameHovered(std::uint32_t line);  // 0 when the pointer leaves the path
  void FrameClicked(std::uint32_t line);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void RenderCache();
  void Invalidate();
  void Hover(std::uint32_t line);

  ToolpathScene scene_;
  ZoomedPath zoomedPath_;
  QImage cache_;
  PlotViewport cacheViewport_;
  double fitScale_ = 1;
  bool cacheValid_ = false;
  bool fitPending_ = true;
  QTimer* settle_;  // renders again once zooming stops
  QPoint pressedAt_;
  PlotViewport pressedViewport_;
  bool pressed_ = false;
  bool dragged_ = false;
  std::uint32_t hovered_ = 0;
};

}  // namespace h33
