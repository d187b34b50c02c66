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

GBytes* PageResourcesClass::Find(const std::string& name) const
{
    // The build stores every resource under its name in upper case. Listing the folder to
    // compare names instead would touch a page of the program's image per stored file, since
    // the names lie between the files' contents.
    std::string key = Last_Component(name);
    if (key.empty()) return nullptr;
    for (char& character : key) {
        if (character >= 'a' && character <= 'z') character = static_cast<char>(character - 'a' + 'A');
    }
    return g_resources_lookup_data((RESOURCE_FOLDER + key).c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
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
