#pragma once

#include <QPoint>
#include <QWidget>

#include "plot/profilepainter.h"

namespace h33 {

// Feed over path length. The wheel zooms the path axis about the pointer, a
// drag pans along it, a click picks the path position under the pointer.
class FeedProfileView : public QWidget {
  Q_OBJECT

 public:
  explicit FeedProfileView(QWidget* parent = nullptr);

  // Both stay owned by the caller; `input` is null outside compare mode.
  void SetProfiles(const FeedProfile* output, const FeedProfile* input);
  // A correction's changes on the output, owned by the caller; null for none.
  void SetMarks(const std::vector<ChangeMark>* marks);
  void ZoomToFit();
  void ZoomAt(double x, double factor);
  void SelectPath(double path);
  const ProfileScene& Scene() const { return scene_; }

 signals:
  void PathClicked(double path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void Show(double from, double to);

  ProfileScene scene_;
  double length_ = 1;
  QPoint pressedAt_;
  double pressedFrom_ = 0;
  bool pressed_ = false;
  bool dragged_ = false;
};

}  // namespace h33
