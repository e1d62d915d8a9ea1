#pragma once

#include <QLatin1String>
#include <QWidget>

#include "widgets/twips.h"

// Sets a control to its design place, given in twips.
inline void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
}

// A control of the window, named as the program names it.
template <typename T>
T* make(QWidget* parent, const char* name) {
    T* widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The same, at its design place.
template <typename T>
T* make(QWidget* parent, const char* name, int left, int top, int width, int height) {
    T* widget = make<T>(parent, name);
    place(widget, left, top, width, height);
    return widget;
}
