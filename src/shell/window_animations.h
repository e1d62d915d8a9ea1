#pragma once

class QWidget;

// The opening and closing animations: the window grows from its title-bar
// strip to the full size H0 x W0 recorded at start-up, and shrinks back.
class WindowAnimations {
  public:
    explicit WindowAnimations(QWidget& window) : window_(window) {}

    void Unroll_Window();
    void Roll_Up_Window();

    // The full size both animations are based on, in twips.
    void setFullSize(int widthTwips, int heightTwips);
    // Records the window's present size as the full size.
    void recordFullSize();
    void setSteps(int steps) { steps_ = steps; }

  private:
    void resizeTwips(double width, double height);

    QWidget& window_;
    int steps_ = 60;
    int fullHeight_ = 0;  // H0, twips
    int fullWidth_ = 0;   // W0, twips
};
