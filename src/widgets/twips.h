#pragma once

// Window positions and sizes are kept in twips: 1440 to the inch, so one pixel
// is 1440 / logical DPI twips (15 at 96 DPI).
double twipsPerPixel();
int twipsToPixels(double twips);
int pixelsToTwips(int pixels);
