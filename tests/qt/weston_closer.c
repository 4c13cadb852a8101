/* A weston module for the Wayland close test. Each desktop window is asked
 * to close once, as soon as it is on screen, through the xdg_toplevel close
 * event a user's close brings; until the window is gone, its client is
 * pinged as a compositor checks that a client still answers. That traffic
 * at the close is what made Qt 6.4's teardown hang more often. Each close
 * is logged with the client's process id, for the test to match. */
#include <libweston-desktop/libweston-desktop.h>
#include <libweston/libweston.h>
#include <stdlib.h>
#include <weston.h>

enum { kTickMs = 1 };

/* A window asked to close, remembered until its surface goes. */
struct closed {
  struct wl_list link;
  struct wl_listener destroyed;
  struct weston_surface* surface;
};

struct closer {
  struct weston_compositor* compositor;
  struct wl_event_source* timer;
  struct wl_list closed;
};

static void forget(struct wl_listener* listener, void* data) {
  struct closed* c = wl_container_of(listener, c, destroyed);
  (void)data;
  wl_list_remove(&c->link);
  wl_list_remove(&c->destroyed.link);
  free(c);
}

static int was_closed(struct closer* closer, struct weston_surface* surface) {
  struct closed* c;
  wl_list_for_each(c, &closer->closed, link) {
    if (c->surface == surface) return 1;
  }
  return 0;
}

static void close_window(struct closer* closer, struct weston_surface* surface) {
  struct closed* c = calloc(1, sizeof *c);
  if (c == NULL) return;
  c->surface = surface;
  c->destroyed.notify = forget;
  wl_signal_add(&surface->destroy_signal, &c->destroyed);
  wl_list_insert(&closer->closed, &c->link);

  struct weston_desktop_surface* window = weston_surface_get_desktop_surface(surface);
  const char* app = weston_desktop_surface_get_app_id(window);
  weston_log("closer: close sent to %s pid %d\n", app != NULL ? app : "?",
             (int)weston_desktop_surface_get_pid(window));
  weston_desktop_surface_close(window);
}

static int tick(void* data) {
  struct closer* closer = data;
  struct weston_layer* layer;
  wl_list_for_each(layer, &closer->compositor->layer_list, link) {
    struct weston_view* view;
    wl_list_for_each(view, &layer->view_list.link, layer_link.link) {
      struct weston_surface* surface = view->surface;
      if (weston_surface_is_desktop_surface(surface) && weston_surface_is_mapped(surface) &&
          !was_closed(closer, surface)) {
        close_window(closer, surface);
      }
    }
  }
  struct closed* c;
  wl_list_for_each(c, &closer->closed, link) {
    /* The role goes before the surface. */
    if (weston_surface_is_desktop_surface(c->surface)) {
      weston_desktop_client_ping(
          weston_desktop_surface_get_client(weston_surface_get_desktop_surface(c->surface)));
    }
  }
  wl_event_source_timer_update(closer->timer, kTickMs);
  return 0;
}

WL_EXPORT int wet_module_init(struct weston_compositor* compositor, int* argc, char* argv[]) {
  (void)argc;
  (void)argv;
  struct closer* closer = calloc(1, sizeof *closer);
  if (closer == NULL) return -1;
  closer->compositor = compositor;
  wl_list_init(&closer->closed);
  closer->timer = wl_event_loop_add_timer(wl_display_get_event_loop(compositor->wl_display), tick, closer);
  if (closer->timer == NULL) return -1;
  wl_event_source_timer_update(closer->timer, kTickMs);
  return 0;
}
