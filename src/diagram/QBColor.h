// Turns the control's 32-bit colours into Qt colours. System colours (high byte 255) are
// taken from the application palette by the role that plays the same part on screen.
#pragma once

#include <QColor>

#include "diagram/QBTypes.h"

// The Qt colour of Color: RGB values directly, system colour indices through QPalette.
QColor ColorToQColor(TColor color);
