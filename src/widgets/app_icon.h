#pragma once

#include <QIcon>

// The program's icon, for the window and the notification area: a page with
// "PDF" on it, drawn here so that it needs no image plug-in.
QIcon appIcon();
