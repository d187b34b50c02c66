#include "tools/EquationDiagnosticsClass.h"

#include "tools/ToolHostClass.h"

#include "data/NameHelpers.h"

namespace {

const char XML_NOTICE_CAPTION[] = "Expect Strange Bugs...";
const char XML_NOTICE_PREFIX[] = "xml parse error - File ";

}  // namespace

bool Split_XML_Notice(const std::string& caption, const std::string& text, std::string& file, std::string& message)
{
    const std::string prefix = XML_NOTICE_PREFIX;
    if (caption != XML_NOTICE_CAPTION || text.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    // The reader's messages hold no ": ", so the last one ends the file name.
    const std::size_t separator = text.rfind(": ");
    if (separator == std::string::npos || separator < prefix.size()) {
        return false;
    }
    file = text.substr(prefix.size(), separator - prefix.size());
    message = text.substr(separator + 2);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return true;
}

EquationDiagnosticsClass::EquationDiagnosticsClass(ToolHostClass& host) : Host(host)
{
    PerceptionDiagnosticsPtr = this;
}

EquationDiagnosticsClass::~EquationDiagnosticsClass()
{
    if (PerceptionDiagnosticsPtr == this) {
        PerceptionDiagnosticsPtr = nullptr;
    }
}

EquationDiagnosticsClass::EventStruct& EquationDiagnosticsClass::Add_Event(EventKindType kind, std::string_view name)
{
    EventStruct event;
    event.Kind = kind;
    event.Element = Current;
    event.Name = std::string(name);
    if (Text != nullptr) {
        event.Equation_Text.assign(Text, Text_Length);
        if (name.data() >= Text && name.data() <= Text + Text_Length) {
            event.Has_Offset = true;
            event.Offset = static_cast<std::size_t>(name.data() - Text);
        }
    }
    Events.push_back(std::move(event));
    return Events.back();
}

void EquationDiagnosticsClass::Parse_Started(const char* text, std::size_t length)
{
    Text = text;
    Text_Length = length;
}

void EquationDiagnosticsClass::Parse_Stopped(std::size_t offset)
{
    EventStruct& event = Add_Event(EVENT_SYNTAX, std::string_view());
    event.Has_Offset = Text != nullptr;
    event.Offset = offset;
}

void EquationDiagnosticsClass::Build_Fault(BuildFaultType fault, std::string_view name, std::string_view detail)
{
    static const EventKindType KINDS[] = {EVENT_UNKNOWN_TOKEN, EVENT_UNKNOWN_DATABASE, EVENT_UNKNOWN_OBJECT,
                                          EVENT_UNKNOWN_FUNCTION, EVENT_MALFORMED};
    Add_Event(KINDS[fault], name).Detail = std::string(detail);
}

void EquationDiagnosticsClass::File_Started(const std::string& path)
{
    ++File_Count;
    Current = ElementStruct{path, std::string(), 0};
    Occurrences.clear();
    Text = nullptr;
}

// The reader announces its syntax failures in a notice that names the file; the failures it
// does not announce are files that could not be read whole.
void EquationDiagnosticsClass::File_Loaded(const std::string& path, int result)
{
    if (result >= 0) {
        return;
    }
    std::string message = "the file cannot be read";
    for (const ToolHostClass::NoticeStruct& notice : Host.Take_Notices()) {
        std::string file;
        std::string text;
        if (Split_XML_Notice(notice.Caption, notice.Text, file, text) && file == path) {
            message = text;
        }
    }
    Current = ElementStruct{path, std::string(), 0};
    Text = nullptr;
    Add_Event(EVENT_XML, message);
}

void EquationDiagnosticsClass::Element_Started(const std::string& name)
{
    Current.Name = name;
    Current.Occurrence = Occurrences[name]++;
    Text = nullptr;
}

void EquationDiagnosticsClass::Duplicate_Name(const std::string& name)
{
    Text = nullptr;
    EventStruct& event = Add_Event(EVENT_DUPLICATE, name);
    const auto first = First_Definitions.find(To_Upper_Copy(name));
    if (first != First_Definitions.end()) {
        event.First = first->second;
    }
}

void EquationDiagnosticsClass::Equation_Added(const std::string& name)
{
    First_Definitions.emplace(To_Upper_Copy(name), Current);
}
