#pragma once

#include <QColor>
#include <QtGlobal>

// The main window's colours, kept as 0x00BBGGRR values (red in the low byte).
inline constexpr quint32 Color_Orange = 0x0080C0FF;   // the inactive look
inline constexpr quint32 Color_Green = 0x00FFFFC0;    // the active look, unlit frames
inline constexpr quint32 Color_Running = 0x0080C0FF;  // the lit indicator frame

inline QColor toQColor(quint32 bbggrr) {
    return QColor(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                  static_cast<int>((bbggrr >> 16) & 0xFF));
}
