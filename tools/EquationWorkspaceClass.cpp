#include "tools/EquationWorkspaceClass.h"

#include "tools/CheckCommandClass.h"
#include "tools/ElementLocatorClass.h"
#include "tools/EquationDiagnosticsClass.h"
#include "tools/PostfixListingClass.h"
#include "tools/XMLErrorLocatorClass.h"

#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/PerceptionFunctionClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>
#include <cognexa/XMLReaderClass.h>

#include "foundation/AsciiCharacterTable.h"
#include "platform/memory/InstalledMemoryPlatformClass.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

const char EquationWorkspaceClass::TOKEN_FILE[] = "cognexa-tokens.txt";

namespace {

namespace fs = std::filesystem;

const char EQUATION_DIRECTORY[] = ".\\Data\\XML\\AI\\PerceptualEquations\\";
const char PARSE_NOTICE_CAPTION[] = "Perception Parsing Error!";

std::string Upper(std::string text)
{
    for (char& byte : text) {
        byte = static_cast<char>(std::toupper(static_cast<unsigned char>(byte)));
    }
    return text;
}

bool Is_Name_Byte(char byte)
{
    return std::isalnum(static_cast<unsigned char>(byte)) || byte == '_';
}

bool Read_Disk_File(const fs::path& path, std::string& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    bytes = content.str();
    return true;
}

// The entry of folder named name without regard to ASCII case, as the game finds it; "" if none.
fs::path Child_Ignoring_Case(const fs::path& folder, const std::string& name)
{
    std::error_code failure;
    if (fs::is_directory(folder / name, failure)) {
        return folder / name;
    }
    for (fs::directory_iterator entry(folder, failure), end; !failure && entry != end; entry.increment(failure)) {
        if (AsciiCharacterTable::Ascii_Equal_Ignoring_Case(entry->path().filename().string(), name)) {
            return entry->path();
        }
    }
    return fs::path();
}

std::string Base_Name(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

EquationWorkspaceClass::EquationWorkspaceClass()
{
    Host.Install(nullptr);
}

EquationWorkspaceClass::~EquationWorkspaceClass() = default;

bool EquationWorkspaceClass::Load_Token_File(const std::string& path, std::string& error)
{
    std::vector<DescribedNameStruct> names;
    if (!Read_Described_Names(path, names)) {
        error = path + ": cannot read the token list";
        return false;
    }
    std::vector<std::string> plain;
    for (const DescribedNameStruct& entry : names) {
        plain.push_back(entry.Name);
        Token_Names.push_back(entry.Name);
        if (!entry.Description.empty()) {
            Descriptions[entry.Name] = entry.Description;
        }
    }
    Host.Get_Tokens().Restrict_To(plain);
    Tokens_Listed = true;
    return true;
}

bool EquationWorkspaceClass::Add_Database(const std::string& name, const std::string& path, std::string& error)
{
    std::vector<std::string> objects;
    if (!Host.Add_Database(name + "=" + path, error) || !Read_Name_List(path, objects)) {
        return false;
    }
    Database_Objects[name] = objects;
    return true;
}

void EquationWorkspaceClass::Set_Value(const std::string& path, float value)
{
    Host.Get_Context().Values[path] = value;
    Values_Given = true;
}

void EquationWorkspaceClass::Set_Folder(const std::string& folder)
{
    fs::path equations = folder;
    for (const char* step : {"Data", "XML", "AI", "PerceptualEquations"}) {
        equations = Child_Ignoring_Case(equations, step);
        if (equations.empty()) {
            equations = folder;
            break;
        }
    }
    Equation_Folder = equations.lexically_normal().generic_string();
    std::error_code failure;
    for (const fs::path& candidate : {fs::path(folder) / TOKEN_FILE, fs::path(Equation_Folder) / TOKEN_FILE}) {
        std::string error;
        if (!Tokens_Listed && fs::is_regular_file(candidate, failure)) {
            Load_Token_File(candidate.string(), error);
        }
    }
}

void EquationWorkspaceClass::Open_Document(const std::string& path, const std::string& text)
{
    Open_Texts[path] = text;
}

void EquationWorkspaceClass::Close_Document(const std::string& path)
{
    Open_Texts.erase(path);
}

// The folder's equation files, sorted by name as the game's enumeration sorts them, with the
// editor's texts in place of the disk's, then the open files that lie elsewhere.
void EquationWorkspaceClass::Gather_Files()
{
    Files.clear();
    std::vector<std::string> paths;
    std::error_code failure;
    if (!Equation_Folder.empty()) {
        for (fs::directory_iterator entry(Equation_Folder, failure), end; !failure && entry != end;
             entry.increment(failure)) {
            std::error_code kind;
            if (entry->is_regular_file(kind) && Upper(entry->path().extension().string()) == ".XML") {
                paths.push_back(entry->path().lexically_normal().generic_string());
            }
        }
    }
    std::sort(paths.begin(), paths.end());
    // Where names ignore case, the editor may spell a file otherwise than the folder lists it.
    for (std::string& path : paths) {
        for (const auto& open : Open_Texts) {
            std::error_code same_failure;
            if (open.first != path && AsciiCharacterTable::Ascii_Equal_Ignoring_Case(open.first, path) &&
                fs::equivalent(open.first, path, same_failure)) {
                path = open.first;
            }
        }
    }
    for (const auto& open : Open_Texts) {
        if (std::find(paths.begin(), paths.end(), open.first) == paths.end()) {
            paths.push_back(open.first);
        }
    }
    for (const std::string& path : paths) {
        FileStruct file;
        file.Path = path;
        const auto open = Open_Texts.find(path);
        if (open != Open_Texts.end()) {
            file.Text = open->second;
        } else if (!Read_Disk_File(path, file.Text)) {
            continue;
        }
        Files.push_back(std::move(file));
    }
    for (FileStruct& file : Files) {
        file.Positions = std::make_unique<TextPositionsClass>(file.Text);
        file.Locator = std::make_shared<ElementLocatorClass>();
        file.Locator->Set_Bytes(file.Text);
    }
}

// The equations of a file as the reader sees them, placed in the file's text.
void EquationWorkspaceClass::Read_Structure(FileStruct& file, const std::string& memory_path)
{
    XMLReaderClass reader;
    if (reader.Load_File(memory_path, true) < 0) {
        return;
    }
    const ElementLocatorClass& locator = *file.Locator;
    std::map<std::string, int> occurrences;
    std::size_t from = 0;
    do {
        EquationStruct equation;
        if (reader.Get_Tag_Name(equation.Name) != XML_OK || reader.Get_Value(equation.Text) != XML_OK) {
            continue;
        }
        equation.Occurrence = occurrences[equation.Name]++;
        equation.Tag = locator.Find_Element_From(equation.Name, from);
        if (equation.Tag == ElementLocatorClass::NOT_FOUND) {
            continue;
        }
        const std::size_t start_end = file.Text.find('>', equation.Tag);
        const bool empty = start_end != std::string::npos && start_end > 0 && file.Text[start_end - 1] == '/';
        const std::size_t end_tag = empty ? std::string::npos : file.Text.find("</" + equation.Name, start_end);
        if (end_tag != std::string::npos) {
            const std::size_t close = file.Text.find('>', end_tag);
            equation.Content_End = end_tag;
            equation.End = close == std::string::npos ? file.Text.size() : close + 1;
        } else {
            equation.End = start_end == std::string::npos ? file.Text.size() : start_end + 1;
            equation.Content_End = equation.End;
        }
        from = equation.End;
        file.By_Occurrence[{equation.Name, equation.Occurrence}] = file.Equations.size();
        file.Equations.push_back(std::move(equation));
    } while (reader.Move_To_Next_Sibling() == XML_OK);
}

// Subjects and their names ("Unit" . "Speed") and databases with their objects ("Db" [ "X" ]).
void EquationWorkspaceClass::Collect_Names(const std::string& text)
{
    std::size_t at = 0;
    auto skip_blanks = [&](std::size_t from) {
        while (from < text.size() && std::isspace(static_cast<unsigned char>(text[from]))) {
            ++from;
        }
        return from;
    };
    auto word_end = [&](std::size_t from) {
        while (from < text.size() && Is_Name_Byte(text[from])) {
            ++from;
        }
        return from;
    };
    while (at < text.size()) {
        if (!std::isalpha(static_cast<unsigned char>(text[at]))) {
            ++at;
            continue;
        }
        const std::size_t end = word_end(at);
        const std::string subject = text.substr(at, end - at);
        at = skip_blanks(end);
        if (at < text.size() && text[at] == '[') {
            const std::size_t close = text.find(']', at);
            if (close != std::string::npos) {
                const std::string object = Trim_Trailing_Blanks(text.substr(at + 1, close - at - 1));
                if (!object.empty()) {
                    Objects_In[subject].insert(object);
                }
                at = close + 1;
            }
            continue;
        }
        while (at < text.size() && text[at] == '.') {
            at = skip_blanks(at + 1);
            const std::size_t name_end = word_end(at);
            if (name_end == at) {
                break;
            }
            Names_After[subject].insert(text.substr(at, name_end - at));
            at = skip_blanks(name_end);
        }
    }
}

EquationWorkspaceClass::RangeStruct EquationWorkspaceClass::Range_Of(const FileStruct& file, std::size_t start,
                                                                     std::size_t end) const
{
    return RangeStruct{file.Positions->Position_Of(start), file.Positions->Position_Of(std::max(start, end))};
}

EquationWorkspaceClass::RangeStruct EquationWorkspaceClass::Tag_Name_Range(const FileStruct& file,
                                                                           const EquationStruct& equation) const
{
    return Range_Of(file, equation.Tag + 1, equation.Tag + 1 + equation.Name.size());
}

std::map<std::string, std::vector<EquationWorkspaceClass::DiagnosticStruct>> EquationWorkspaceClass::Analyse()
{
    Gather_Files();
    Memory_Paths.clear();
    Names_After.clear();
    Objects_In.clear();
    std::vector<EquationDiagnosticsClass::EventStruct> events;
    {
        InstalledMemoryPlatformClass memory;
        std::vector<std::string> memory_paths(Files.size());
        for (std::size_t index = 0; index < Files.size(); ++index) {
            const std::string name = EQUATION_DIRECTORY + Base_Name(Files[index].Path);
            // Two open files of one name in different folders: the game would see one.
            if (Memory_Paths.emplace(Upper(name), index).second) {
                memory.Add_File(name, Files[index].Text);
                memory_paths[index] = name;
            }
        }
        MegaFileManagerClass files;
        Host.Install(&files);
        ThePerceptionFunctionManagerClass::Create();
        {
            EquationDiagnosticsClass diagnostics(Host);
            ThePerceptionFunctionManagerPtr->System_Initialize(&files, false);
            events = diagnostics.Get_Events();
        }
        ThePerceptionFunctionManagerPtr->System_Shutdown();
        delete ThePerceptionFunctionManagerPtr;
        ThePerceptionFunctionManagerPtr = nullptr;
        for (std::size_t index = 0; index < Files.size(); ++index) {
            if (!memory_paths[index].empty()) {
                Read_Structure(Files[index], memory_paths[index]);
            }
        }
        Host.Take_Notices();
        Host.Install(nullptr);
    }

    std::map<std::string, std::vector<DiagnosticStruct>> found;
    for (FileStruct& file : Files) {
        found[file.Path];
        for (const EquationStruct& equation : file.Equations) {
            Collect_Names(equation.Text);
        }
    }
    for (const EquationDiagnosticsClass::EventStruct& event : events) {
        const auto file = Memory_Paths.find(Upper(event.Element.Path));
        if (file != Memory_Paths.end()) {
            found[Files[file->second].Path].push_back(Diagnostic_For(Files[file->second], event));
        }
    }
    return found;
}

EquationWorkspaceClass::DiagnosticStruct EquationWorkspaceClass::Diagnostic_For(
    const FileStruct& file, const EquationDiagnosticsClass::EventStruct& event)
{
    FindingStruct finding;
    CheckCommandClass::Describe(event, finding);
    DiagnosticStruct diagnostic;
    diagnostic.Kind = finding.Kind;
    diagnostic.Message = finding.Message;

    if (event.Element.Name.empty()) {
        const XMLErrorLocatorClass::PlaceStruct place = XMLErrorLocatorClass::Locate(file.Text, event.Name);
        diagnostic.Range = Range_Of(file, place.Start, place.End);
        return diagnostic;
    }
    const ElementLocatorClass& locator = *file.Locator;
    const std::size_t element = Element_Of(file, event.Element.Name, event.Element.Occurrence);
    if (element == ElementLocatorClass::NOT_FOUND) {
        return diagnostic;
    }
    std::size_t start = element + 1;
    std::size_t end = start + event.Element.Name.size();
    if (event.Has_Offset) {
        start = locator.Text_Offset(element, event.Offset);
        const std::string name = Trim_Trailing_Blanks(event.Name);
        if (!name.empty()) {
            end = locator.Text_Offset(element, event.Offset + name.size() - 1) + 1;
        } else {
            const bool at_character = start < file.Text.size() && file.Text[start] != '<' &&
                                      file.Text[start] != '\r' && file.Text[start] != '\n';
            end = at_character ? start + file.Positions->Sequence_Length(start) : start;
        }
    }
    diagnostic.Range = Range_Of(file, start, end);

    if (event.Kind == EquationDiagnosticsClass::EVENT_DUPLICATE) {
        const auto first_file = Memory_Paths.find(Upper(event.First.Path));
        if (first_file != Memory_Paths.end()) {
            const FileStruct& first = Files[first_file->second];
            const std::size_t tag = Element_Of(first, event.First.Name, event.First.Occurrence);
            if (tag != ElementLocatorClass::NOT_FOUND) {
                const RangeStruct range = Range_Of(first, tag + 1, tag + 1 + event.First.Name.size());
                diagnostic.Message = "duplicate equation name; first defined at " + Base_Name(first.Path) + ":" +
                                     std::to_string(range.Start.Line + 1) + ":" +
                                     std::to_string(range.Start.Character + 1);
                diagnostic.Related.push_back(RelatedStruct{first.Path, range, "first definition of " + event.First.Name});
            }
        }
    }
    return diagnostic;
}

std::size_t EquationWorkspaceClass::Element_Of(const FileStruct& file, const std::string& name, int occurrence) const
{
    const auto found = file.By_Occurrence.find({name, occurrence});
    if (found != file.By_Occurrence.end()) {
        return file.Equations[found->second].Tag;
    }
    return file.Locator->Find_Element(name, occurrence);
}

const EquationWorkspaceClass::FileStruct* EquationWorkspaceClass::Find_File(const std::string& path) const
{
    for (const FileStruct& file : Files) {
        if (file.Path == path) {
            return &file;
        }
    }
    return nullptr;
}

const EquationWorkspaceClass::EquationStruct* EquationWorkspaceClass::Equation_At(const FileStruct& file,
                                                                                  std::size_t offset) const
{
    for (const EquationStruct& equation : file.Equations) {
        if (offset >= equation.Tag && offset <= equation.End) {
            return &equation;
        }
    }
    return nullptr;
}

std::vector<EquationWorkspaceClass::CompletionStruct> EquationWorkspaceClass::Complete(const std::string& path,
                                                                                        const PositionType& position) const
{
    std::vector<CompletionStruct> items;
    const FileStruct* file = Find_File(path);
    if (file == nullptr) {
        return items;
    }
    const std::string& text = file->Text;
    const std::size_t offset = file->Positions->Offset_Of(position);
    std::size_t start = offset;
    while (start > 0 && Is_Name_Byte(text[start - 1])) {
        --start;
    }

    // After "Subject.": the token names.
    if (start > 0 && text[start - 1] == '.') {
        std::size_t subject_start = start - 1;
        while (subject_start > 0 && Is_Name_Byte(text[subject_start - 1])) {
            --subject_start;
        }
        const std::string subject = text.substr(subject_start, start - 1 - subject_start);
        std::set<std::string> names;
        if (Tokens_Listed) {
            names.insert(Token_Names.begin(), Token_Names.end());
        } else {
            const auto used = Names_After.find(subject);
            if (used != Names_After.end()) {
                names = used->second;
            }
            for (const auto& other : Names_After) {
                names.insert(other.second.begin(), other.second.end());
            }
        }
        for (const std::string& name : names) {
            const auto description = Descriptions.find(name);
            items.push_back(CompletionStruct{name, COMPLETION_TOKEN,
                                             description != Descriptions.end() ? description->second : "token"});
        }
        return items;
    }

    // Inside "Database[": its object names.
    std::size_t open = start;
    while (open > 0 && (Is_Name_Byte(text[open - 1]) || text[open - 1] == '|' || text[open - 1] == ' ')) {
        --open;
    }
    if (open > 0 && text[open - 1] == '[') {
        std::size_t database_end = open - 1;
        while (database_end > 0 && std::isspace(static_cast<unsigned char>(text[database_end - 1]))) {
            --database_end;
        }
        std::size_t database_start = database_end;
        while (database_start > 0 && Is_Name_Byte(text[database_start - 1])) {
            --database_start;
        }
        const std::string database = text.substr(database_start, database_end - database_start);
        std::set<std::string> objects;
        const auto listed = Database_Objects.find(database);
        if (listed != Database_Objects.end()) {
            objects.insert(listed->second.begin(), listed->second.end());
        } else if (Objects_In.count(database) != 0) {
            objects = Objects_In.at(database);
        }
        for (const std::string& object : objects) {
            items.push_back(CompletionStruct{object, COMPLETION_OBJECT, "object of " + database});
        }
        return items;
    }

    items.push_back(CompletionStruct{"clamp", COMPLETION_FUNCTION, "clamp(value, low, high)"});
    for (const auto& subject : Names_After) {
        items.push_back(CompletionStruct{subject.first, COMPLETION_SUBJECT, "object"});
    }
    return items;
}

std::string EquationWorkspaceClass::Equation_Hover(const EquationStruct& equation)
{
    std::string hover = "**" + equation.Name + "**\n\n";
    const std::vector<std::string> steps = PostfixListingClass::Steps_Of(equation.Text);
    if (steps.empty()) {
        return hover + "The equation does not parse.\n";
    }
    hover += "Postfix program:\n\n```\n";
    for (std::size_t index = 0; index < steps.size(); ++index) {
        hover += std::to_string(index + 1) + "  " + steps[index] + "\n";
    }
    hover += "```\n";
    if (!Values_Given) {
        return hover;
    }
    std::unique_ptr<PerceptionFunctionClass> built(PerceptionFunctionClass::Build(equation.Text, equation.Name));
    Host.Take_Notices();
    if (built == nullptr) {
        return hover + "\nValue: cannot be computed (the equation cannot be built)\n";
    }
    Host.Forget_Missing_Value();
    float value = 0;
    const bool evaluated = built->Evaluate(Host.Get_Context(), value);
    bool division_by_zero = false;
    for (const ToolHostClass::NoticeStruct& notice : Host.Take_Notices()) {
        division_by_zero = division_by_zero || notice.Caption == PARSE_NOTICE_CAPTION;
    }
    if (evaluated) {
        std::ostringstream shown;
        shown << value;
        return hover + "\nValue: " + shown.str() + "\n";
    }
    if (!Host.Get_Missing_Value().empty()) {
        return hover + "\nValue: no value for " + Host.Get_Missing_Value() + "\n";
    }
    return hover + (division_by_zero ? "\nValue: division by zero\n" : "\nValue: the evaluation failed\n");
}

std::string EquationWorkspaceClass::Hover(const std::string& path, const PositionType& position)
{
    const FileStruct* file = Find_File(path);
    if (file == nullptr) {
        return std::string();
    }
    const std::string& text = file->Text;
    const std::size_t offset = file->Positions->Offset_Of(position);
    const EquationStruct* equation = Equation_At(*file, offset);
    if (equation == nullptr) {
        return std::string();
    }
    std::string hover;
    std::size_t start = offset;
    std::size_t end = offset;
    while (start > 0 && Is_Name_Byte(text[start - 1])) {
        --start;
    }
    while (end < text.size() && Is_Name_Byte(text[end])) {
        ++end;
    }
    const auto description = Descriptions.find(text.substr(start, end - start));
    if (offset > equation->Tag + equation->Name.size() + 1 && description != Descriptions.end()) {
        hover = "**" + description->first + "** (token): " + description->second + "\n\n---\n\n";
    }
    return hover + Equation_Hover(*equation);
}

std::vector<EquationWorkspaceClass::SymbolStruct> EquationWorkspaceClass::Document_Symbols(const std::string& path) const
{
    std::vector<SymbolStruct> symbols;
    if (const FileStruct* file = Find_File(path)) {
        for (const EquationStruct& equation : file->Equations) {
            symbols.push_back(SymbolStruct{equation.Name, file->Path, Range_Of(*file, equation.Tag, equation.End),
                                           Tag_Name_Range(*file, equation), equation.Text});
        }
    }
    return symbols;
}

std::vector<EquationWorkspaceClass::SymbolStruct> EquationWorkspaceClass::Workspace_Symbols(const std::string& query) const
{
    std::vector<SymbolStruct> symbols;
    const std::string wanted = Upper(query);
    for (const FileStruct& file : Files) {
        for (const SymbolStruct& symbol : Document_Symbols(file.Path)) {
            if (Upper(symbol.Name).find(wanted) != std::string::npos) {
                symbols.push_back(symbol);
            }
        }
    }
    return symbols;
}
