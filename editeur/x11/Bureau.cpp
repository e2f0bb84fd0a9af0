#include "Bureau.h"

#ifdef CORVELLA_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <vector>

namespace Edition
{
    namespace
    {
        // The property's 32-bit values (as longs, as Xlib gives them).
        std::vector<long> Cardinaux(Display* d, Window w, Atom propriete, long nombre, Atom type = XA_CARDINAL)
        {
            std::vector<long> valeurs;
            Atom typeLu = None;
            int format = 0;
            unsigned long n = 0, reste = 0;
            unsigned char* donnees = nullptr;
            if (propriete != None &&
                XGetWindowProperty(d, w, propriete, 0, nombre, False, type, &typeLu, &format, &n, &reste, &donnees) ==
                    Success &&
                typeLu == type && format == 32 && donnees != nullptr)
            {
                const long* v = reinterpret_cast<const long*>(donnees);
                valeurs.assign(v, v + n);
            }
            if (donnees != nullptr)
                XFree(donnees);
            return valeurs;
        }

        bool Soutenu(Display* d, Atom atome)
        {
            const Atom soutenus = XInternAtom(d, "_NET_SUPPORTED", True);
            for (long a : Cardinaux(d, DefaultRootWindow(d), soutenus, 4096, XA_ATOM))
                if (static_cast<Atom>(a) == atome)
                    return true;
            return false;
        }
    }

    bool DemanderBureau(InfosBureau& infos)
    {
        Display* d = XOpenDisplay(nullptr);
        if (d == nullptr)
            return false;
        const Window racine = DefaultRootWindow(d);
        infos.Bureau = Zone{0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
        const std::vector<long> aire = Cardinaux(d, racine, XInternAtom(d, "_NET_WORKAREA", True), 4);
        if (aire.size() >= 4 && aire[2] > 0 && aire[3] > 0)
        {
            infos.Bureau = Zone{static_cast<int>(aire[0]), static_cast<int>(aire[1]), static_cast<int>(aire[2]),
                                static_cast<int>(aire[3])};
            infos.BureauConnu = true;
        }
        // The frame: asked for a window not yet shown, which the window
        // manager answers by setting its extents on it.
        const Atom requete = XInternAtom(d, "_NET_REQUEST_FRAME_EXTENTS", True);
        const Atom extents = XInternAtom(d, "_NET_FRAME_EXTENTS", True);
        if (requete != None && extents != None && Soutenu(d, requete))
        {
            const Window w = XCreateSimpleWindow(d, racine, 0, 0, 640, 480, 0, 0, 0);
            XSelectInput(d, w, PropertyChangeMask);
            XEvent e{};
            e.xclient.type = ClientMessage;
            e.xclient.window = w;
            e.xclient.message_type = requete;
            e.xclient.format = 32;
            XSendEvent(d, racine, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
            XFlush(d);
            // A window manager that says it answers does so at once: a short bound.
            const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
            while (!infos.CadreConnu && std::chrono::steady_clock::now() < fin)
            {
                const std::vector<long> c = Cardinaux(d, w, extents, 4);
                if (c.size() == 4)
                {
                    infos.CadreFenetre = Cadre{static_cast<int>(c[0]), static_cast<int>(c[1]), static_cast<int>(c[2]),
                                               static_cast<int>(c[3])};
                    infos.CadreConnu = true;
                    break;
                }
                pollfd attente{ConnectionNumber(d), POLLIN, 0};
                poll(&attente, 1, 20);
                while (XPending(d) > 0)
                    XNextEvent(d, &e);
            }
            XDestroyWindow(d, w);
        }
        XCloseDisplay(d);
        return true;
    }
}
#else
namespace Edition
{
    bool DemanderBureau(InfosBureau&)
    {
        return false;
    }
}
#endif
