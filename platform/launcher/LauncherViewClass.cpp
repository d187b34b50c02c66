#include "platform/launcher/LauncherViewClass.h"

#include "launcher/LauncherWindow.h"
#include "launcher/TextConversion.h"
#include "platform/launcher/GtkLauncherPlatformClass.h"
#include "platform/launcher/PosixFiles.h"
#include "platform/launcher/TestTrace.h"

#include <glib-unix.h>

#include <csignal>
#include <vector>

namespace {

const char* const RESOURCE_SCHEME = "res";
const char* const MESSAGE_HANDLER = "vestibar";

// window.external for the pages: any method name goes to the launcher's name lookup, which
// ignores case; each call answers with a promise of the launcher's result.
const char* const EXTERNAL_OBJECT_SCRIPT = R"JS(
(function () {
  var handler = window.webkit.messageHandlers.vestibar;
  var external = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== "string" || name === "then" || name === "toJSON") return undefined;
      return function () {
        return handler.postMessage({ method: name, args: Array.prototype.slice.call(arguments) });
      };
    }
  });
  Object.defineProperty(window, "external", { value: external, configurable: true });
})();
)JS";

const char* const PAGE_TEXT_SCRIPT = "document.body ? document.body.innerText : ''";
// What hovering changes: the overlay image and the colour of each caption that is not white.
const char* const PAGE_STATE_SCRIPT = R"JS(
(function () {
  var overlay = document.getElementById("overlay");
  if (!overlay) return "";
  var lit = Array.prototype.filter.call(document.querySelectorAll(".caption"), function (caption) {
    return getComputedStyle(caption).color !== "rgb(255, 255, 255)";
  }).map(function (caption) { return caption.id + ":" + getComputedStyle(caption).color.replace(/ /g, ""); });
  return "overlay=" + overlay.src.split("/").pop() + " lit=" + lit.join(",");
})()
)JS";

std::string Take_String(char* text)
{
    std::string result = text != nullptr ? text : "";
    g_free(text);
    return result;
}

DispatchArgument To_Argument(JSCValue* value)
{
    DispatchArgument argument;
    if (jsc_value_is_string(value)) {
        argument.type = DispatchArgument::Type::String;
        argument.text = Utf8_To_Utf16(Take_String(jsc_value_to_string(value)));
    } else if (jsc_value_is_number(value)) {
        argument.type = DispatchArgument::Type::Number;
    }
    return argument;
}

std::vector<DispatchArgument> Read_Arguments(JSCValue* list)
{
    std::vector<DispatchArgument> arguments;
    if (list == nullptr || !jsc_value_is_array(list)) return arguments;
    JSCValue* length_value = jsc_value_object_get_property(list, "length");
    int length = jsc_value_to_int32(length_value);
    g_object_unref(length_value);
    for (int i = 0; i < length; ++i) {
        JSCValue* item = jsc_value_object_get_property_at_index(list, static_cast<guint>(i));
        arguments.push_back(To_Argument(item));
        g_object_unref(item);
    }
    return arguments;
}

}  // namespace

LauncherViewClass::LauncherViewClass(GtkLauncherPlatformClass& platform, LauncherWindow& launcher)
    : platform_(platform), launcher_(launcher)
{
}

LauncherViewClass::~LauncherViewClass()
{
    if (trace_timer_ != 0) g_source_remove(trace_timer_);
}

bool LauncherViewClass::Create()
{
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    if (window_ == nullptr) return false;
    GtkWindow* window = GTK_WINDOW(window_);
    platform_.Attach_Window(window);

    // Only the page is visible: no caption or border, and the user cannot resize it.
    const WindowGeometry& geometry = launcher_.Geometry();
    int width = geometry.region.right - geometry.region.left;
    int height = geometry.region.bottom - geometry.region.top;
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_title(window, launcher_.Window_Title().c_str());
    // The icon the launcher's desktop entry installs into the icon theme.
    gtk_window_set_icon_name(window, "vestibar");
    gtk_window_move(window, geometry.window.left + geometry.region.left, geometry.window.top + geometry.region.top);

    Create_Web_View();
    gtk_widget_set_size_request(GTK_WIDGET(view_), width, height);
    gtk_container_add(GTK_CONTAINER(window_), GTK_WIDGET(view_));

    g_signal_connect(window_, "destroy", G_CALLBACK(On_Destroy), this);
    g_signal_connect(window_, "notify::is-active", G_CALLBACK(On_Active_Changed), this);
    g_unix_signal_add(SIGTERM, On_Terminate_Signal, this);
    g_unix_signal_add(SIGINT, On_Terminate_Signal, this);

    launcher_.On_Create();
    char* address = g_uri_escape_string(launcher_.Start_Address().c_str(), G_URI_RESERVED_CHARS_ALLOWED_IN_PATH, FALSE);
    webkit_web_view_load_uri(view_, address);
    g_free(address);
    gtk_widget_show_all(window_);
    return true;
}

void LauncherViewClass::Create_Web_View()
{
    WebKitWebContext* context = webkit_web_context_new();
    webkit_web_context_register_uri_scheme(context, RESOURCE_SCHEME,
                                           reinterpret_cast<WebKitURISchemeRequestCallback>(On_Resource_Request), this,
                                           nullptr);

    WebKitUserContentManager* content = webkit_user_content_manager_new();
    WebKitUserScript* script = webkit_user_script_new(EXTERNAL_OBJECT_SCRIPT, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                                      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, script);
    webkit_user_script_unref(script);
    std::string signal = std::string("script-message-with-reply-received::") + MESSAGE_HANDLER;
    g_signal_connect(content, signal.c_str(), G_CALLBACK(On_Script_Message), this);
    webkit_user_content_manager_register_script_message_handler_with_reply(content, MESSAGE_HANDLER, nullptr);

    view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "user-content-manager", content,
                                         nullptr));
    g_object_unref(content);
    g_object_unref(context);

    // Files dropped on the window must not replace the launcher's page.
    gtk_drag_dest_unset(GTK_WIDGET(view_));
    g_signal_connect(view_, "decide-policy", G_CALLBACK(On_Decide_Policy), this);
    g_signal_connect(view_, "close", G_CALLBACK(On_View_Close), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(On_Load_Changed), this);
}

void LauncherViewClass::On_Resource_Request(WebKitURISchemeRequest* request, gpointer self)
{
    auto* view = static_cast<LauncherViewClass*>(self);
    std::string path = Take_String(g_uri_unescape_string(webkit_uri_scheme_request_get_path(request), nullptr));
    std::string name = PageResourcesClass::Last_Component(path);
    GBytes* bytes = view->platform_.Resources().Find(name);
    if (bytes == nullptr) {
        GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "No page named %s", name.c_str());
        webkit_uri_scheme_request_finish_error(request, error);
        g_error_free(error);
        return;
    }
    GInputStream* stream = g_memory_input_stream_new_from_bytes(bytes);
    webkit_uri_scheme_request_finish(request, stream, static_cast<gint64>(g_bytes_get_size(bytes)),
                                     PageResourcesClass::Mime_Type(name));
    g_object_unref(stream);
    g_bytes_unref(bytes);
}

gboolean LauncherViewClass::On_Script_Message(WebKitUserContentManager*, JSCValue* message,
                                              WebKitScriptMessageReply* reply, gpointer self)
{
    auto* view = static_cast<LauncherViewClass*>(self);
    JSCValue* method = jsc_value_object_get_property(message, "method");
    JSCValue* list = jsc_value_object_get_property(message, "args");
    std::string name = Take_String(jsc_value_to_string(method));
    std::vector<DispatchArgument> arguments = Read_Arguments(list);
    g_object_unref(method);
    g_object_unref(list);

    std::vector<std::int32_t> ids;
    if (view->launcher_.Get_Ids_Of_Names({Utf8_To_Utf16(name)}, ids) != S_OK_STATUS) {
        TestTrace::Write("call", name + " unknown");
        webkit_script_message_reply_return_error_message(reply, "Object doesn't support this property or method");
        return TRUE;
    }
    DispatchResult result;
    view->launcher_.Invoke(ids[0], LauncherWindow::DISPATCH_METHOD, arguments, &result);
    std::string text = Utf16_To_Utf8(result.text);
    TestTrace::Write("call", name + (result.present ? " -> " + text : std::string(" -> (none)")));

    JSCContext* context = jsc_value_get_context(message);
    JSCValue* answer = result.present ? jsc_value_new_string(context, text.c_str()) : jsc_value_new_undefined(context);
    webkit_script_message_reply_return_value(reply, answer);
    g_object_unref(answer);
    return TRUE;
}

gboolean LauncherViewClass::On_Decide_Policy(WebKitWebView*, WebKitPolicyDecision* decision,
                                             WebKitPolicyDecisionType type, gpointer)
{
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
    // The launcher only ever shows its own pages; a dropped file or a stray link stays out.
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    std::string scheme = Take_String(g_uri_parse_scheme(uri != nullptr ? uri : ""));
    if (Equal_Ignoring_Case(scheme, RESOURCE_SCHEME) && type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION)
        return FALSE;
    webkit_policy_decision_ignore(decision);
    TestTrace::Write("refused", uri != nullptr ? uri : "");
    return TRUE;
}

void LauncherViewClass::On_View_Close(WebKitWebView*, gpointer self)
{
    auto* view = static_cast<LauncherViewClass*>(self);
    view->launcher_.Invoke(LauncherWindow::DISPID_ON_QUIT, 0, {}, nullptr);
}

void LauncherViewClass::On_Active_Changed(GtkWindow* window, GParamSpec*, gpointer self)
{
    auto* view = static_cast<LauncherViewClass*>(self);
    bool active = gtk_window_is_active(window) != FALSE;
    if (active == view->active_) return;
    view->active_ = active;
    view->launcher_.On_Activate(active);
}

void LauncherViewClass::On_Destroy(GtkWidget*, gpointer self)
{
    auto* view = static_cast<LauncherViewClass*>(self);
    // A window closed while active gets no deactivation of its own; the navigation sound still
    // has to come back.
    if (view->active_) {
        view->active_ = false;
        view->launcher_.On_Activate(false);
    }
    view->platform_.Attach_Window(nullptr);
    if (view->trace_timer_ != 0) g_source_remove(view->trace_timer_);
    view->trace_timer_ = 0;
    gtk_main_quit();
}

gboolean LauncherViewClass::On_Terminate_Signal(gpointer self)
{
    static_cast<LauncherViewClass*>(self)->platform_.Close_Window();
    return G_SOURCE_CONTINUE;
}

void LauncherViewClass::On_Load_Changed(WebKitWebView* web_view, WebKitLoadEvent event, gpointer self)
{
    if (event != WEBKIT_LOAD_FINISHED) return;
    const char* uri = webkit_web_view_get_uri(web_view);
    TestTrace::Write("page", uri != nullptr ? uri : "");
    // The test trace watches the page's text only from the first page on, so that its scripts
    // do not compete with the page's own loading.
    auto* view = static_cast<LauncherViewClass*>(self);
    if (TestTrace::Enabled() && view->trace_timer_ == 0) view->trace_timer_ = g_timeout_add(200, On_Trace_Tick, self);
}

gboolean LauncherViewClass::On_Trace_Tick(gpointer self)
{
    auto* view = static_cast<LauncherViewClass*>(self);
    webkit_web_view_evaluate_javascript(view->view_, PAGE_TEXT_SCRIPT, -1, nullptr, nullptr, nullptr, On_Page_Text,
                                        self);
    webkit_web_view_evaluate_javascript(view->view_, PAGE_STATE_SCRIPT, -1, nullptr, nullptr, nullptr, On_Page_State,
                                        self);
    return G_SOURCE_CONTINUE;
}

void LauncherViewClass::On_Page_State(GObject* web_view, GAsyncResult* result, gpointer self)
{
    auto* view = static_cast<LauncherViewClass*>(self);
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(web_view), result, nullptr);
    if (value == nullptr) return;
    std::string state = Take_String(jsc_value_to_string(value));
    g_object_unref(value);
    if (state.empty() || state == view->last_page_state_) return;
    view->last_page_state_ = state;
    TestTrace::Write("state", state);
}

void LauncherViewClass::On_Page_Text(GObject* web_view, GAsyncResult* result, gpointer self)
{
    auto* view = static_cast<LauncherViewClass*>(self);
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(web_view), result, nullptr);
    if (value == nullptr) return;
    std::string text = Take_String(jsc_value_to_string(value));
    g_object_unref(value);
    if (text == view->last_page_text_) return;
    view->last_page_text_ = text;
    TestTrace::Write("text", text);
    if (!text.empty()) view->Run_Test_Script();
}

void LauncherViewClass::Run_Test_Script()
{
    std::string script = PosixFiles::Environment("VESTIBAR_TEST_SCRIPT");
    if (test_script_run_ || script.empty()) return;
    test_script_run_ = true;
    webkit_web_view_evaluate_javascript(view_, script.c_str(), -1, nullptr, nullptr, nullptr, nullptr, nullptr);
}
