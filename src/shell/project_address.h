#pragma once

#include <QString>

class Platform;

// The address of the project's documentation, which the web-site label opens.
QString projectAddress(Platform& platform);
