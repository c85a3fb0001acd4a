/* Writes what an X window (default: the whole screen) shows as a PNG file,
 * with GTK's own rendering, so the tests need no image tools.
 *   screen_grab FILE.png [WINDOW-ID] */
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <stdlib.h>

int main(int argc, char **argv) {
    if (!gtk_init_check(&argc, &argv) || argc < 2 || argc > 3) {
        fprintf(stderr, "usage: screen_grab FILE.png [WINDOW-ID] (with a display)\n");
        return 2;
    }
    GdkWindow *window = argc == 3 ? gdk_x11_window_foreign_new_for_display(gdk_display_get_default(),
                                                                            strtoul(argv[2], NULL, 0))
                                  : g_object_ref(gdk_get_default_root_window());
    GdkPixbuf *shot = window != NULL ? gdk_pixbuf_get_from_window(window, 0, 0, gdk_window_get_width(window),
                                                                  gdk_window_get_height(window))
                                     : NULL;
    GError *error = NULL;
    if (shot == NULL || !gdk_pixbuf_save(shot, argv[1], "png", &error, NULL)) {
        fprintf(stderr, "screen_grab: %s\n", error != NULL ? error->message : "cannot read the window");
        return 1;
    }
    g_object_unref(shot);
    g_object_unref(window);
    return 0;
}
