// The pace of a program's frames in the browser. A program that draws as
// fast as its loop turns, handing each frame over with a short sleep, gives
// the browser frames faster than a software WebGL draws them: the browser
// queues them, and every few seconds the page stalls for several seconds
// while it catches up. So a frame starts only while at most one other waits
// to be drawn (WebGL 2 fences: the browser draws one while the program makes
// the next), and, when asked, not sooner than a period after the last one
// began. WebGL 1 has no fences: there the display's beat paces the frames
// (requestAnimationFrame).
#include "Contexte.h"

#include <GLES3/gl3.h>
#include <emscripten.h>

namespace
{
    // Frames handed over and not yet drawn by the browser, oldest first: at
    // most EnVolMax, so that the browser may draw one while the program
    // makes the next, and never more.
    constexpr int EnVolMax = 2;
    GLsync EnVol[EnVolMax] = {};
    int NombreEnVol = 0;
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
    if (NombreEnVol == EnVolMax)
    {
        while (glClientWaitSync(EnVol[0], 0, 0) == GL_TIMEOUT_EXPIRED)
            emscripten_sleep(1);
        glDeleteSync(EnVol[0]);
        for (int i = 1; i < EnVolMax; ++i)
            EnVol[i - 1] = EnVol[i];
        --NombreEnVol;
    }
    const double attente = DebutImage + periodeMs - emscripten_get_now();
    if (attente >= 1)
        emscripten_sleep(static_cast<unsigned>(attente));
    DebutImage = emscripten_get_now();
    EnVol[NombreEnVol++] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
}
