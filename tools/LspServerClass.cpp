#include "tools/LspServerClass.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <exception>

using nlohmann::json;

namespace {

// The protocol's error codes.
const int PARSE_ERROR = -32700;
const int INVALID_REQUEST = -32600;
const int METHOD_NOT_FOUND = -32601;
const int INVALID_PARAMS = -32602;
const int INTERNAL_ERROR = -32603;
const int SERVER_NOT_INITIALIZED = -32002;

// Completion item kinds and the symbol kind of an equation.
const int KIND_FUNCTION = 3;
const int KIND_FIELD = 5;
const int KIND_MODULE = 9;
const int KIND_ENUM_MEMBER = 20;
const int SYMBOL_FUNCTION = 12;

json To_Json(const EquationWorkspaceClass::PositionType& position)
{
    return json{{"line", position.Line}, {"character", position.Character}};
}

json To_Json(const EquationWorkspaceClass::RangeStruct& range)
{
    return json{{"start", To_Json(range.Start)}, {"end", To_Json(range.End)}};
}

EquationWorkspaceClass::PositionType Position_Of(const json& params)
{
    const json& position = params.at("position");
    return EquationWorkspaceClass::PositionType{position.at("line").get<int>(), position.at("character").get<int>()};
}

int Hex_Value(char digit)
{
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

}  // namespace

std::string LspServerClass::Path_Of_Uri(const std::string& uri)
{
    std::string rest = uri.compare(0, 7, "file://") == 0 ? uri.substr(7) : uri;
    std::string path;
    for (std::size_t at = 0; at < rest.size(); ++at) {
        if (rest[at] == '%' && at + 2 < rest.size() && Hex_Value(rest[at + 1]) >= 0 && Hex_Value(rest[at + 2]) >= 0) {
            path += static_cast<char>(Hex_Value(rest[at + 1]) * 16 + Hex_Value(rest[at + 2]));
            at += 2;
        } else {
            path += rest[at];
        }
    }
    // "/C:/Games/..." names a drive.
    if (path.size() >= 3 && path[0] == '/' && path[2] == ':') {
        path.erase(0, 1);
    }
    return path;
}

std::string LspServerClass::Uri_Of_Path(const std::string& path)
{
    static const char HEX[] = "0123456789ABCDEF";
    std::string uri = path.empty() || path[0] != '/' ? "file:///" : "file://";
    for (const char byte : path) {
        const unsigned char code = static_cast<unsigned char>(byte);
        if (std::isalnum(code) || byte == '/' || byte == '-' || byte == '_' || byte == '.' || byte == '~' ||
            byte == ':') {
            uri += byte;
        } else if (byte == '\\') {
            uri += '/';
        } else {
            uri += '%';
            uri += HEX[code >> 4];
            uri += HEX[code & 15];
        }
    }
    return uri;
}

LspServerClass::LspServerClass(EquationWorkspaceClass& workspace, SenderType send)
    : Workspace(workspace), Sender(std::move(send))
{
}

void LspServerClass::Send(const json& message)
{
    // Texts from files not decoded as UTF-8 must not stop the answer.
    Sender(message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void LspServerClass::Send_Error(const json& id, int code, const std::string& text)
{
    Send(json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", text}}}});
}

std::string LspServerClass::Uri_Of(const std::string& path) const
{
    const auto open = Open_Uris.find(path);
    return open != Open_Uris.end() ? open->second : Uri_Of_Path(path);
}

void LspServerClass::Handle(const std::string& body)
{
    json message;
    try {
        message = json::parse(body);
    } catch (const json::exception& failure) {
        Send_Error(nullptr, PARSE_ERROR, std::string("the message is not valid JSON: ") + failure.what());
        return;
    }
    if (!message.is_object() || !message.contains("method") || !message["method"].is_string()) {
        // A reply to a request of ours: this server sends none.
        if (message.is_object() && message.contains("id") && !message.contains("result") && !message.contains("error")) {
            Send_Error(message["id"], INVALID_REQUEST, "a request needs a method");
        } else if (!message.is_object()) {
            Send_Error(nullptr, INVALID_REQUEST, "a message is a JSON object");
        }
        return;
    }
    if (message.contains("id")) {
        Handle_Request(message);
    } else {
        Handle_Notification(message);
    }
}

void LspServerClass::Handle_Request(const json& message)
{
    const json& id = message["id"];
    if (!id.is_number_integer() && !id.is_string()) {
        Send_Error(nullptr, INVALID_REQUEST, "a request id is a number or a string");
        return;
    }
    const std::string method = message["method"];
    const json params = message.value("params", json::object());
    if (method == "initialize") {
        if (Initialized) {
            Send_Error(id, INVALID_REQUEST, "initialize was sent already");
            return;
        }
    } else if (!Initialized) {
        Send_Error(id, SERVER_NOT_INITIALIZED, "the server is not initialized");
        return;
    } else if (Shut_Down) {
        Send_Error(id, INVALID_REQUEST, "the server is shut down");
        return;
    }
    try {
        bool known = true;
        json result = Answer(method, params, known);
        if (!known) {
            Send_Error(id, METHOD_NOT_FOUND, "unknown method " + method);
            return;
        }
        Send(json{{"jsonrpc", "2.0"}, {"id", id}, {"result", result}});
    } catch (const json::exception& failure) {
        Send_Error(id, INVALID_PARAMS, std::string("bad parameters: ") + failure.what());
    } catch (const std::exception& failure) {
        Send_Error(id, INTERNAL_ERROR, failure.what());
    }
}

json LspServerClass::Answer(const std::string& method, const json& params, bool& known)
{
    if (method == "initialize") {
        return Initialize(params);
    }
    if (method == "shutdown") {
        Shut_Down = true;
        return nullptr;
    }
    const std::string path =
        params.contains("textDocument") ? Path_Of_Uri(params.at("textDocument").at("uri").get<std::string>()) : "";
    if (method == "textDocument/hover") {
        const std::string text = Workspace.Hover(path, Position_Of(params));
        return text.empty() ? json(nullptr) : json{{"contents", {{"kind", "markdown"}, {"value", text}}}};
    }
    if (method == "textDocument/completion") {
        static const int KINDS[] = {KIND_FIELD, KIND_FUNCTION, KIND_ENUM_MEMBER, KIND_MODULE};
        json items = json::array();
        for (const auto& item : Workspace.Complete(path, Position_Of(params))) {
            items.push_back({{"label", item.Label}, {"kind", KINDS[item.Kind]}, {"detail", item.Detail}});
        }
        return items;
    }
    if (method == "textDocument/documentSymbol") {
        json symbols = json::array();
        for (const auto& symbol : Workspace.Document_Symbols(path)) {
            symbols.push_back({{"name", symbol.Name}, {"kind", SYMBOL_FUNCTION}, {"detail", symbol.Text},
                               {"range", To_Json(symbol.Range)}, {"selectionRange", To_Json(symbol.Selection)}});
        }
        return symbols;
    }
    if (method == "workspace/symbol") {
        json symbols = json::array();
        for (const auto& symbol : Workspace.Workspace_Symbols(params.value("query", std::string()))) {
            symbols.push_back({{"name", symbol.Name}, {"kind", SYMBOL_FUNCTION},
                               {"location", {{"uri", Uri_Of(symbol.Path)}, {"range", To_Json(symbol.Selection)}}}});
        }
        return symbols;
    }
    known = false;
    return nullptr;
}

json LspServerClass::Initialize(const json& params)
{
    std::string root;
    if (params.contains("rootUri") && params["rootUri"].is_string()) {
        root = Path_Of_Uri(params["rootUri"]);
    } else if (params.contains("workspaceFolders") && params["workspaceFolders"].is_array() &&
               !params["workspaceFolders"].empty() && params["workspaceFolders"][0].is_object()) {
        root = Path_Of_Uri(params["workspaceFolders"][0].value("uri", std::string()));
    } else if (params.contains("rootPath") && params["rootPath"].is_string()) {
        root = params["rootPath"];
    }
    if (params.contains("initializationOptions") && params["initializationOptions"].is_object()) {
        Configure(params["initializationOptions"]);
    }
    if (!root.empty()) {
        Workspace.Set_Folder(root);
    }
    Initialized = true;
    return json{
        {"capabilities",
         {{"textDocumentSync", {{"openClose", true}, {"change", 1}, {"save", true}}},
          {"completionProvider", {{"triggerCharacters", {".", "["}}}},
          {"hoverProvider", true},
          {"documentSymbolProvider", true},
          {"workspaceSymbolProvider", true}}},
        {"serverInfo", {{"name", "cognexa"}}},
    };
}

// {"tokens": FILE, "databases": {NAME: FILE}, "values": {"Unit.Speed": 3}}; a bad entry is
// reported and the rest still used.
void LspServerClass::Configure(const json& options)
{
    std::string error;
    if (options.contains("tokens") && options["tokens"].is_string() &&
        !Workspace.Load_Token_File(options["tokens"], error)) {
        std::fprintf(stderr, "cognexa lsp: %s\n", error.c_str());
    }
    if (options.contains("databases") && options["databases"].is_object()) {
        for (const auto& database : options["databases"].items()) {
            if (database.value().is_string() && !Workspace.Add_Database(database.key(), database.value(), error)) {
                std::fprintf(stderr, "cognexa lsp: %s\n", error.c_str());
            }
        }
    }
    if (options.contains("values") && options["values"].is_object()) {
        for (const auto& value : options["values"].items()) {
            if (value.value().is_number()) {
                Workspace.Set_Value(value.key(), value.value().get<float>());
            }
        }
    }
}

void LspServerClass::Handle_Notification(const json& message)
{
    const std::string method = message["method"];
    if (method == "exit") {
        Exited = true;
        return;
    }
    if (!Initialized || Shut_Down) {
        return;
    }
    try {
        const json params = message.value("params", json::object());
        if (method == "initialized" || method == "workspace/didChangeWatchedFiles" ||
            method == "textDocument/didSave") {
            Publish_Diagnostics();
        } else if (method == "textDocument/didOpen") {
            const json& document = params.at("textDocument");
            const std::string uri = document.at("uri");
            const std::string path = Path_Of_Uri(uri);
            Open_Uris[path] = uri;
            Versions[path] = document.value("version", 0);
            Workspace.Open_Document(path, document.at("text").get<std::string>());
            Publish_Diagnostics();
        } else if (method == "textDocument/didChange") {
            Change_Document(params);
            Publish_Diagnostics();
        } else if (method == "textDocument/didClose") {
            const std::string path = Path_Of_Uri(params.at("textDocument").at("uri"));
            Workspace.Close_Document(path);
            Publish_Diagnostics();
            Open_Uris.erase(path);
            Versions.erase(path);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "cognexa lsp: %s: %s\n", method.c_str(), failure.what());
    }
}

// Full texts replace the document; a change with a range (not asked for, but allowed) is
// spliced in.
void LspServerClass::Change_Document(const json& params)
{
    const json& document = params.at("textDocument");
    const std::string path = Path_Of_Uri(document.at("uri"));
    if (!Workspace.Is_Open(path)) {
        return;
    }
    std::string text = Workspace.Open_Text(path);
    for (const json& change : params.at("contentChanges")) {
        const std::string replacement = change.at("text");
        if (!change.contains("range")) {
            text = replacement;
            continue;
        }
        const TextPositionsClass positions(text);
        const json& range = change.at("range");
        const std::size_t start = positions.Offset_Of({range.at("start").at("line"), range.at("start").at("character")});
        const std::size_t end = positions.Offset_Of({range.at("end").at("line"), range.at("end").at("character")});
        text.replace(start, end > start ? end - start : 0, replacement);
    }
    Versions[path] = document.value("version", Versions[path]);
    Workspace.Open_Document(path, text);
}

void LspServerClass::Publish_Diagnostics()
{
    std::set<std::string> published;
    const std::map<std::string, std::vector<EquationWorkspaceClass::DiagnosticStruct>> found_files = Workspace.Analyse();
    for (const auto& file : found_files) {
        if (file.second.empty() && Published.count(file.first) == 0 && !Workspace.Is_Open(file.first)) {
            continue;
        }
        json diagnostics = json::array();
        for (const auto& found : file.second) {
            json diagnostic = {{"range", To_Json(found.Range)}, {"severity", 1}, {"source", "cognexa"},
                               {"code", found.Kind}, {"message", found.Message}};
            for (const auto& related : found.Related) {
                diagnostic["relatedInformation"].push_back(
                    {{"location", {{"uri", Uri_Of(related.Path)}, {"range", To_Json(related.Range)}}},
                     {"message", related.Message}});
            }
            diagnostics.push_back(diagnostic);
        }
        json params = {{"uri", Uri_Of(file.first)}, {"diagnostics", diagnostics}};
        if (Versions.count(file.first) != 0) {
            params["version"] = Versions[file.first];
        }
        Send(json{{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", params}});
        if (!file.second.empty()) {
            published.insert(file.first);
        }
    }
    // Files gone from the workspace lose their marks.
    for (const std::string& path : Published) {
        if (found_files.count(path) == 0) {
            json params = {{"uri", Uri_Of(path)}, {"diagnostics", json::array()}};
            Send(json{{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", params}});
        }
    }
    Published = published;
}
