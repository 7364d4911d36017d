#pragma once
// The status bar's three lock panes: "CAP", "NUM" and "SCRL" while the lock is on, blank
// while it is off or when the window system cannot tell.

#include <QWidget>

class QLabel;

namespace lumatix::widgets {

struct LockState {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

class LockIndicators : public QWidget {
  Q_OBJECT
 public:
  explicit LockIndicators(QWidget* parent = nullptr);

  void setState(const LockState& state);
  QString capsText() const;
  QString numText() const;
  QString scrollText() const;

 private:
  QLabel* caps_;
  QLabel* num_;
  QLabel* scroll_;
};

}  // namespace lumatix::widgets
