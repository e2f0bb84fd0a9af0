// The pace of a program's frames in the browser. A program that draws as
// fast as its loop turns, handing each frame over with a short sleep, gives
// the browser frames faster than a software WebGL draws them: the browser
// queues them, and every few seconds the page stalls for several seconds
// while it catches up. So the next frame starts once the browser has drawn
// the last one (a WebGL 2 fence), and, when asked, not sooner than a period
// after the last one began. WebGL 1 has no fences: there the display's beat
// paces the frames (requestAnimationFrame).
#include "Contexte.h"

#include <GLES3/gl3.h>
#include <emscripten.h>

namespace
{
    GLsync EnVol = nullptr;
    double DebutImage = 0;

    EM_ASYNC_JS(void, ProchainBattement, (), {
        await new Promise((fini) => requestAnimationFrame(() => fini()));
    });
}

extern "C" void WglCadence(double periodeMs)
{
    if (!WglVersion2())
    {
        ProchainBattement();
        return;
    }
    if (EnVol != nullptr)
    {
        while (glClientWaitSync(EnVol, 0, 0) == GL_TIMEOUT_EXPIRED)
            emscripten_sleep(1);
        glDeleteSync(EnVol);
        EnVol = nullptr;
    }
    const double attente = DebutImage + periodeMs - emscripten_get_now();
    if (attente >= 1)
        emscripten_sleep(static_cast<unsigned>(attente));
    DebutImage = emscripten_get_now();
    EnVol = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
}
