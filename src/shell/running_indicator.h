#pragma once

class QWidget;

// The six frames of the running indicator: the five of the bottom row, left
// to right, then the status line's. One is lit at a time while the distiller
// works.
class RunningIndicator {
  public:
    // The frames' object names, in the order in which they light.
    static const char* const kFrames[6];

    explicit RunningIndicator(QWidget& window) : window_(window) {}

    // Lights frame 1 to 6 and darkens the others.
    void light(int frame);
    void Reset_Running_Colors();

  private:
    QWidget& window_;
};
