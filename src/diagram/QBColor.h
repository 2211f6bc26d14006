// Turns the control's 32-bit colours into Qt colours. System colours (high byte 255) are
// taken from the application palette by the role that plays the same part on screen.
#pragma once

#include <QColor>

#include "diagram/QBTypes.h"

// The Qt colour of Color: RGB values directly, system colour indices through QPalette.
QColor ColorToQColor(TColor color);

// Text colour for Background: Text itself when it stands out enough, else black or white,
// whichever contrasts more. Keeps a palette choice from making a line unreadable.
QColor ReadableTextColor(const QColor& text, const QColor& background);
