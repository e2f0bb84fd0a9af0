// A page is the editor's process. Emscripten gives every program the same
// process id (42) and says any other process may be alive (kill: EPERM): the
// autosave the editor names after its process would have the same name at
// every load of the page, and one left by a closed page would never be
// offered back. Here each load of the page is a process of its own, and no
// other is alive: a page that was closed or reloaded is gone.
#include <cerrno>
#include <csignal>
#include <emscripten.h>
#include <unistd.h>

extern "C" {

pid_t getpid(void)
{
    static pid_t numero = 0;
    if (numero == 0)
        numero = 1 + static_cast<pid_t>(emscripten_random() * 2147483646.0);
    return numero;
}

int kill(pid_t pid, int signal)
{
    if (pid == getpid())
        return signal == 0 ? 0 : raise(signal);
    errno = ESRCH;
    return -1;
}
}
