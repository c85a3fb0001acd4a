#include "dialog/window/widget_png.hpp"

#include <memory>

#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"

namespace kvx::dialog {
namespace {

struct SurfaceRelease {
    void operator()(cairo_surface_t *surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t *context) const { cairo_destroy(context); }
};

}  // namespace

void WriteWidgetPNG(GtkWidget *widget, const std::string &path) {
    const std::unique_ptr<cairo_surface_t, SurfaceRelease> surface(cairo_image_surface_create(
        CAIRO_FORMAT_ARGB32, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget)));
    {
        const std::unique_ptr<cairo_t, ContextRelease> context(cairo_create(surface.get()));
        gtk_widget_draw(widget, context.get());
    }
    cairo_surface_flush(surface.get());
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw DialogError(kExitUsage, "cannot write the screenshot " + Quoted(path) + ": " +
                                          cairo_status_to_string(status));
    }
}

}  // namespace kvx::dialog
