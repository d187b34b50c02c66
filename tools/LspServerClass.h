#ifndef COGNEXA_TOOLS_LSP_SERVER_CLASS_H
#define COGNEXA_TOOLS_LSP_SERVER_CLASS_H

#include "tools/EquationWorkspaceClass.h"

#include <nlohmann/json_fwd.hpp>

#include <functional>
#include <map>
#include <set>
#include <string>

// The editor protocol's messages translated to and from the workspace's calls: the lifecycle
// (initialize, shutdown, exit), documents kept in full-text sync, diagnostics pushed after
// every change, and completion, hover and symbols answered. Errors are the protocol's own.
class LspServerClass {
public:
    typedef std::function<void(const std::string&)> SenderType;

    LspServerClass(EquationWorkspaceClass& workspace, SenderType send);

    // One message body, as received.
    void Handle(const std::string& body);

    bool Has_Exited() const { return Exited; }
    // As the protocol says: 0 after a shutdown request, 1 otherwise.
    int Exit_Status() const { return Shut_Down ? 0 : 1; }

    static std::string Path_Of_Uri(const std::string& uri);
    static std::string Uri_Of_Path(const std::string& path);

private:
    void Handle_Request(const nlohmann::json& message);
    void Handle_Notification(const nlohmann::json& message);
    nlohmann::json Initialize(const nlohmann::json& params);
    void Configure(const nlohmann::json& options);
    nlohmann::json Answer(const std::string& method, const nlohmann::json& params, bool& known);
    void Change_Document(const nlohmann::json& params);
    void Publish_Diagnostics();

    void Send(const nlohmann::json& message);
    void Send_Error(const nlohmann::json& id, int code, const std::string& text);
    std::string Uri_Of(const std::string& path) const;

    EquationWorkspaceClass& Workspace;
    SenderType Sender;
    bool Initialized = false;
    bool Shut_Down = false;
    bool Exited = false;
    std::map<std::string, std::string> Open_Uris;  // path -> the URI the editor named it by
    std::map<std::string, int> Versions;
    std::set<std::string> Published;  // paths whose last diagnostics were not empty
};

#endif
