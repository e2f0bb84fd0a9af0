// PLACEHOLDER: screenshot, XPM, cursor and display helpers are being built.
#include "Outils.h"
