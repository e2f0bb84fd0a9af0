#pragma once
// SDL 1.2's event filter, as the editor's test play sets it to see a window
// closed during play: emscripten's SDL has no filter (and declares SDL 2's
// form). A canvas has no close button, so there is nothing for it to see.
#include <SDL.h>

#ifdef __cplusplus
inline void SDL_SetEventFilter(int (*)(const SDL_Event*))
{
}
#endif
