/* The platform's floor for the launcher benchmark: an undecorated 650 x 504 GTK window holding
 * one WebKitGTK view that loads a page. When the page has finished loading it appends
 * "page <uri>" to the trace file, as the launcher's test trace does.
 *
 * usage: bare_webkit_window URI TRACE_FILE */
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <stdio.h>

static const char* trace_path;

static void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer unused)
{
    (void)unused;
    if (event != WEBKIT_LOAD_FINISHED) return;
    FILE* trace = fopen(trace_path, "a");
    if (trace == NULL) return;
    fprintf(trace, "page %s\n", webkit_web_view_get_uri(view));
    fclose(trace);
}

static gboolean on_terminate(gpointer unused)
{
    (void)unused;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: bare_webkit_window URI TRACE_FILE\n");
        return 2;
    }
    trace_path = argv[2];
    gtk_init(&argc, &argv);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    GtkWidget* view = webkit_web_view_new();
    gtk_widget_set_size_request(view, 650, 504);
    gtk_container_add(GTK_CONTAINER(window), view);
    g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), NULL);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    g_unix_signal_add(SIGTERM, on_terminate, NULL);

    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
