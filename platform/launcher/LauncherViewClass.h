#ifndef VESTIBAR_LAUNCHER_VIEW_CLASS_H
#define VESTIBAR_LAUNCHER_VIEW_CLASS_H

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string>

class GtkLauncherPlatformClass;
class LauncherWindow;

// The launcher's window on GTK: an undecorated, fixed-size window filled by a web view that
// shows the pages compiled into the program and hands their window.external calls to the
// launcher's dispatch routine.
class LauncherViewClass {
public:
    LauncherViewClass(GtkLauncherPlatformClass& platform, LauncherWindow& launcher);
    ~LauncherViewClass();
    LauncherViewClass(const LauncherViewClass&) = delete;
    LauncherViewClass& operator=(const LauncherViewClass&) = delete;

    // Creates and shows the window at the start page; false when the window cannot be made.
    bool Create();

private:
    static void On_Resource_Request(WebKitURISchemeRequest* request, gpointer self);
    static gboolean On_Script_Message(WebKitUserContentManager* manager, JSCValue* message,
                                      WebKitScriptMessageReply* reply, gpointer self);
    static gboolean On_Decide_Policy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                     WebKitPolicyDecisionType type, gpointer self);
    static void On_View_Close(WebKitWebView* view, gpointer self);
    static void On_Active_Changed(GtkWindow* window, GParamSpec* property, gpointer self);
    static void On_Destroy(GtkWidget* window, gpointer self);
    static void On_Load_Changed(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
    static gboolean On_Terminate_Signal(gpointer self);
    static gboolean On_Trace_Tick(gpointer self);
    static void On_Page_Text(GObject* view, GAsyncResult* result, gpointer self);
    static void On_Page_State(GObject* view, GAsyncResult* result, gpointer self);

    void Create_Web_View();
    void Run_Test_Script();

    GtkLauncherPlatformClass& platform_;
    LauncherWindow& launcher_;
    GtkWidget* window_ = nullptr;
    WebKitWebView* view_ = nullptr;
    bool active_ = false;
    bool test_script_run_ = false;
    std::string last_page_text_;
    std::string last_page_state_;
    unsigned trace_timer_ = 0;
};

#endif
