// Anchors the message table in korvel_core (the texts themselves are inline constants).
#include "resources/QBResource.h"
