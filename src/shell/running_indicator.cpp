#include "shell/running_indicator.h"

#include <QWidget>

#include "widgets/colors.h"
#include "widgets/outline.h"

const char* const RunningIndicator::kFrames[6] = {"Shape3", "Shape4", "Shape5",
                                                  "Shape6", "Shape7", "Shape2"};

void RunningIndicator::light(int frame) {
    Reset_Running_Colors();
    if (frame >= 1 && frame <= 6) {
        window_.findChild<Outline*>(QLatin1String(kFrames[frame - 1]))
            ->setBorderColor(Color_Running);
    }
}

void RunningIndicator::Reset_Running_Colors() {
    for (const char* name : kFrames) {
        window_.findChild<Outline*>(QLatin1String(name))->setBorderColor(Color_Green);
    }
}
