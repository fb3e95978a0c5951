#pragma once
// Our Wayland objects live on Qt's connection, but on an event queue of our
// own, so that Qt's event thread never dispatches them.
#include <wayland-client.h>

namespace qmb {

// The registry on `schlange`, through a wrapper of the display (so that its
// events are dispatched by our round trip alone), with `hörer` told of every
// global before this returns.
inline wl_registry* eigenesRegister(wl_display* anzeige, wl_event_queue* schlange, const wl_registry_listener* hörer,
                                    void* daten) {
    auto* hülle = static_cast<wl_display*>(wl_proxy_create_wrapper(anzeige));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(hülle), schlange);
    wl_registry* reg = wl_display_get_registry(hülle);
    wl_proxy_wrapper_destroy(hülle);
    wl_registry_add_listener(reg, hörer, daten);
    wl_display_roundtrip_queue(anzeige, schlange);
    return reg;
}

} // namespace qmb
