#include "platform/launcher/PageResourcesClass.h"

#include "launcher/TextConversion.h"

#include <gio/gio.h>

namespace {

const char* const RESOURCE_FOLDER = "/vestibar/pages/";

struct MimeEntry {
    const char* extension;
    const char* mime_type;
};

const MimeEntry MIME_TYPES[] = {
    {".htm", "text/html"}, {".html", "text/html"}, {".css", "text/css"},     {".gif", "image/gif"},
    {".png", "image/png"}, {".jpg", "image/jpeg"}, {".js", "text/javascript"}, {".txt", "text/plain"},
};

bool Ends_With_Ignoring_Case(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && Equal_Ignoring_Case(text.substr(text.size() - ending.size()), ending);
}

}  // namespace

PageResourcesClass::PageResourcesClass()
{
    char** children = g_resources_enumerate_children(RESOURCE_FOLDER, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    for (char** child = children; child != nullptr && *child != nullptr; ++child) names_.emplace_back(*child);
    g_strfreev(children);
}

GBytes* PageResourcesClass::Find(const std::string& name) const
{
    std::string wanted = Last_Component(name);
    for (const std::string& stored : names_) {
        if (!Equal_Ignoring_Case(stored, wanted)) continue;
        return g_resources_lookup_data((RESOURCE_FOLDER + stored).c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    }
    return nullptr;
}

std::string PageResourcesClass::Last_Component(const std::string& path)
{
    std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

const char* PageResourcesClass::Mime_Type(const std::string& name)
{
    for (const MimeEntry& entry : MIME_TYPES) {
        if (Ends_With_Ignoring_Case(name, entry.extension)) return entry.mime_type;
    }
    return "application/octet-stream";
}
