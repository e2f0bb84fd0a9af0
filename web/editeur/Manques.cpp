// What the editor calls that emscripten's libraries leave out.
#include <SDL.h>
#include <cerrno>
#include <sys/xattr.h>

extern "C" {

// The browser repeats held keys itself; emscripten's SDL_EnableKeyRepeat
// keeps no setting: the editor's own.
void SDL_GetKeyRepeat(int* delai, int* intervalle)
{
    if (delai != nullptr)
        *delai = SDL_DEFAULT_REPEAT_DELAY;
    if (intervalle != nullptr)
        *intervalle = SDL_DEFAULT_REPEAT_INTERVAL;
}

// No extended attributes in the browser's file system: a file has none to
// keep, and none can be set.
ssize_t flistxattr(int, char*, size_t)
{
    errno = ENOTSUP;
    return -1;
}

ssize_t fgetxattr(int, const char*, void*, size_t)
{
    errno = ENOTSUP;
    return -1;
}

int fsetxattr(int, const char*, const void*, size_t, int)
{
    errno = ENOTSUP;
    return -1;
}
}
