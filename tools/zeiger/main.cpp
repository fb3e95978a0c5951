// A pointer device for the whole-program tests on Wayland. A headless
// compositor has no mouse; this client gives its seat one through the
// compositor's virtual-pointer protocol and moves and clicks it on command,
// one command a line on standard input, until the input ends:
//
//   relativ DX DY      move by DX, DY pixels (subject to pointer confinement)
//   absolut X Y B H    jump to X, Y of an output B x H pixels large
//   links an|aus       press or release the left button (rechts likewise)
//
// Each command is answered with "ok" once the compositor has taken it, so a
// test can wait for it. The device stays for as long as the program runs:
// a seat that loses its only pointer takes the pointer away from every
// client, and with it any confinement.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include "virtueller-zeiger-client.h"

namespace {

zwlr_virtual_pointer_manager_v1* verwalter = nullptr;
wl_seat* platz = nullptr;

void globalNeu(void*, wl_registry* reg, uint32_t name, const char* schnittstelle, uint32_t) {
    if (std::strcmp(schnittstelle, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        verwalter = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(reg, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(schnittstelle, wl_seat_interface.name) == 0 && !platz)
        platz = static_cast<wl_seat*>(wl_registry_bind(reg, name, &wl_seat_interface, 1));
}
void globalWeg(void*, wl_registry*, uint32_t) {}
const wl_registry_listener hörer{globalNeu, globalWeg};

uint32_t zeit = 0; // milliseconds; only their order matters to the compositor

} // namespace

int main() {
    wl_display* anzeige = wl_display_connect(nullptr);
    if (!anzeige) {
        std::fprintf(stderr, "zeiger: keine Wayland-Anzeige erreichbar\n");
        return 1;
    }
    wl_registry* reg = wl_display_get_registry(anzeige);
    wl_registry_add_listener(reg, &hörer, nullptr);
    wl_display_roundtrip(anzeige);
    if (!verwalter) {
        std::fprintf(stderr, "zeiger: der Compositor bietet keine virtuellen Zeiger an\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* zeiger = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(verwalter, platz);
    wl_display_roundtrip(anzeige);
    std::cout << "ok" << std::endl;

    std::string zeile;
    while (std::getline(std::cin, zeile)) {
        std::istringstream w(zeile);
        std::string befehl;
        w >> befehl;
        zeit += 10;
        if (befehl == "relativ") {
            double dx = 0, dy = 0;
            w >> dx >> dy;
            zwlr_virtual_pointer_v1_motion(zeiger, zeit, wl_fixed_from_double(dx), wl_fixed_from_double(dy));
        } else if (befehl == "absolut") {
            uint32_t x = 0, y = 0, b = 1, h = 1;
            w >> x >> y >> b >> h;
            zwlr_virtual_pointer_v1_motion_absolute(zeiger, zeit, x, y, b, h);
        } else if (befehl == "links" || befehl == "rechts") {
            std::string zustand;
            w >> zustand;
            zwlr_virtual_pointer_v1_button(zeiger, zeit, befehl == "links" ? BTN_LEFT : BTN_RIGHT,
                                           zustand == "an" ? WL_POINTER_BUTTON_STATE_PRESSED
                                                           : WL_POINTER_BUTTON_STATE_RELEASED);
        } else {
            std::cout << "unbekannt: " << zeile << std::endl;
            continue;
        }
        zwlr_virtual_pointer_v1_frame(zeiger);
        if (wl_display_roundtrip(anzeige) < 0) {
            std::fprintf(stderr, "zeiger: die Verbindung zum Compositor ist weg\n");
            return 1;
        }
        std::cout << "ok" << std::endl;
    }
    zwlr_virtual_pointer_v1_destroy(zeiger);
    wl_display_roundtrip(anzeige);
    wl_display_disconnect(anzeige);
    return 0;
}
