#include <cognexa/XMLReaderClass.h>

#include <cognexa/FileStreamClass.h>

#include "data/XMLNodePoolClass.h"
#include "foundation/NoticeDispatch.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const char* const Notice_Caption = "Expect Strange Bugs...";
const char* const Notice_Format = "xml parse error - File %s: %s\n";
constexpr std::size_t Notice_Capacity = 256;

enum ByteClassType : unsigned char { BYTE_WHITESPACE = 1, BYTE_NAME_END = 2, BYTE_NUL = 4 };

constexpr std::array<unsigned char, 256> Make_Byte_Classes()
{
    std::array<unsigned char, 256> classes{};
    for (unsigned char byte : {'\t', '\n', '\r', ' '}) classes[byte] = BYTE_WHITESPACE | BYTE_NAME_END;
    for (unsigned char byte : {'/', '=', '>'}) classes[byte] = BYTE_NAME_END;
    classes[0] = BYTE_NUL;
    return classes;
}

constexpr std::array<unsigned char, 256> Byte_Classes = Make_Byte_Classes();

inline bool Has_Class(char byte, unsigned char byte_class)
{
    return (Byte_Classes[static_cast<unsigned char>(byte)] & byte_class) != 0;
}

// The parser never moves past the end of the data; the 0 byte stored there reads as "no such
// byte", so a comparison at the end fails like any other wrong byte. The helpers take the read
// position by reference so that the parser keeps it in a register: a member would be reloaded
// after every byte the parser writes.

inline void Skip_Whitespace(char*& at)
{
    // The 0 byte at the end is not whitespace, so the loop needs no bounds check.
    while (Has_Class(*at, BYTE_WHITESPACE)) ++at;
}

inline bool Skip_To(char*& at, char* end, char byte)
{
    const void* found = std::memchr(at, byte, static_cast<std::size_t>(end - at));
    at = found != nullptr ? static_cast<char*>(const_cast<void*>(found)) : end;
    return found != nullptr;
}

inline bool At_Comment(const char* at, const char* end)
{
    return end - at >= 4 && std::memcmp(at, "<!--", 4) == 0;
}

// At "<!--": steps over the comment and its "-->".
XMLResultType Skip_Comment(char*& at, char* end)
{
    at += 4;
    for (;;) {
        if (!Skip_To(at, end, '-')) return XML_UNEXPECTED_END;
        if (end - at < 2) {
            at = end;
            return XML_UNEXPECTED_END;
        }
        if (at[1] == '-') break;
        ++at;
    }
    at += 2;
    if (at == end) return XML_UNEXPECTED_END;
    if (*at != '>') return XML_SYNTAX_ERROR;
    ++at;
    return XML_OK;
}

// A name runs up to whitespace, "/", "=" or ">"; that byte is returned in terminator, replaced
// by 0 and stepped over.
inline XMLResultType Parse_Name(char*& at, char* end, char*& name, char& terminator, XMLResultType end_result)
{
    name = at;
    // The scan stops at a name end or at a 0 byte; only the 0 byte at the end ends the buffer,
    // one inside the file is part of the name.
    const unsigned char stops = BYTE_NAME_END | BYTE_NUL;
    for (;;) {
        // Four bytes a step: names are short, and the loop's branch is what costs.
        for (;;) {
            if (Has_Class(at[0], stops)) break;
            if (Has_Class(at[1], stops)) { at += 1; break; }
            if (Has_Class(at[2], stops)) { at += 2; break; }
            if (Has_Class(at[3], stops)) { at += 3; break; }
            at += 4;
        }
        if (*at != '\0' || at == end) break;
        ++at;
    }
    if (at == end) return end_result;
    terminator = *at;
    *at++ = '\0';
    return XML_OK;
}

// The common end tag, "</name>" written exactly as its start tag, in one pass: the end tag's name
// is compared while it is scanned. Anything else is left to the general path.
inline bool Match_End_Tag(char*& at, const char* name)
{
    char* end_name = at;
    while (*name != '\0' && *end_name == *name) {
        ++end_name;
        ++name;
    }
    if (*name != '\0' || *end_name != '>') return false;
    *end_name = '\0';
    at = end_name + 1;
    return true;
}

// An element's text, from the read position to the next "<" that does not begin a comment;
// comments are cut out by moving the bytes after them down to join the bytes before.
inline XMLResultType Parse_Text(char*& at, char* end, bool trim, char*& text_out)
{
    char* const text = at;
    char* write = at;
    for (;;) {
        char* const run = at;
        if (!Skip_To(at, end, '<')) return XML_UNEXPECTED_END;
        const std::size_t length = static_cast<std::size_t>(at - run);
        if (write != run) std::memmove(write, run, length);
        write += length;
        if (!At_Comment(at, end)) break;
        XMLResultType result = Skip_Comment(at, end);
        if (result != XML_OK) return result;
    }
    // With no comment removed this overwrites the "<" of the next tag.
    *write = '\0';

    char* first = text;
    if (trim) {
        while (first < write && Has_Class(*first, BYTE_WHITESPACE)) ++first;
        while (write > first && Has_Class(write[-1], BYTE_WHITESPACE)) *--write = '\0';
    }
    text_out = first;
    return XML_OK;
}

// The file name, shortened in the middle when the whole notice would not fit its buffer; the
// message itself is always kept whole.
std::string Fitted_File_Name(const std::string& file_name, const char* message)
{
    const std::size_t fixed = std::strlen(Notice_Format) - 4 + std::strlen(message);
    const std::size_t room = Notice_Capacity - 1 > fixed ? Notice_Capacity - 1 - fixed : 0;
    if (file_name.size() <= room) return file_name;
    if (room < 5) return std::string();
    const std::size_t head = (room - 3) / 2;
    const std::size_t tail = room - 3 - head;
    return file_name.substr(0, head) + "..." + file_name.substr(file_name.size() - tail);
}

}  // namespace

XMLReaderClass::XMLReaderClass()
    : Current(nullptr), Root(nullptr), Buffer(nullptr), Position(nullptr), End(nullptr), Trim(false), Pool(nullptr)
{
}

XMLReaderClass::~XMLReaderClass()
{
    Discard_Document();
    delete Pool;
}

void XMLReaderClass::Discard_Document()
{
    // Nodes are plain records in the pool: releasing the pool frees the whole tree at once.
    if (Pool != nullptr) Pool->Release();
    std::free(Buffer);
    Root = nullptr;
    Current = nullptr;
    Buffer = nullptr;
    Position = nullptr;
    End = nullptr;
    Open_Children.Clear();
    Tag_Attributes.Clear();
}

void XMLReaderClass::Show_Message(const char* message) const
{
    char text[Notice_Capacity];
    std::snprintf(text, sizeof text, Notice_Format, Fitted_File_Name(File_Name, message).c_str(), message);
    Show_Notice(Notice_Caption, text);
}

XMLResultType XMLReaderClass::Load_File(const std::string& file_name, bool trim)
{
    // 1. Remember the name and the trim flag; forget any earlier document.
    File_Name = file_name;
    Trim = trim;
    Discard_Document();

    // 2, 3. One read of the whole file into one buffer; missing or short files fail silently.
    XMLResultType result = Read_Whole_File();
    if (result != XML_OK) return result;

    // 4. The "<?...>" header.
    result = Parse_Header();
    if (result != XML_OK) {
        Show_Message("error reading xml header.");
        return result;
    }

    // 5. Comments and other bytes up to the root element.
    result = Parse_Prolog();
    if (result != XML_OK) {
        Show_Message("syntax error reading comment.");
        return result;
    }

    // 6. The root element and everything inside it.
    result = Parse_Elements();
    if (result != XML_OK) {
        Show_Message("file has syntax errors, see log file");
        return result;
    }

    // 7. A root without children holds no data.
    if (Root->Child_Count == 0) {
        Show_Message("file only has a root node with no other content.");
        return XML_SYNTAX_ERROR;
    }

    // 8. After the root only comments may follow.
    result = Parse_Epilog();
    if (result != XML_OK) return result;

    // 9. The cursor starts on the root's first child.
    Current = Root->Children[0];
    return XML_OK;
}

XMLResultType XMLReaderClass::Read_Whole_File()
{
    FileStreamClass file;
    if (!file.Open(File_Name, FileStreamClass::ACCESS_READ, false)) return XML_SYNTAX_ERROR;
    const int size = file.Size();
    if (size < 0) return XML_SYNTAX_ERROR;
    Buffer = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
    if (Buffer == nullptr) return XML_SYNTAX_ERROR;
    Buffer[size] = '\0';
    Position = Buffer;
    End = Buffer + size;
    if (file.Read(Buffer, size) != size) return XML_SYNTAX_ERROR;
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Header()
{
    if (Skip_To(Position, End, '<')) ++Position;
    if (*Position != '?') return XML_SYNTAX_ERROR;
    if (!Skip_To(Position, End, '>')) return XML_UNEXPECTED_END;
    ++Position;
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Prolog()
{
    while (Skip_To(Position, End, '<') && At_Comment(Position, End)) {
        XMLResultType result = Skip_Comment(Position, End);
        if (result != XML_OK) return result;
    }
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Epilog()
{
    while (Skip_To(Position, End, '<')) {
        if (!At_Comment(Position, End)) {
            Show_Message("file has multiple root nodes. Aborting!");
            return XML_SYNTAX_ERROR;
        }
        XMLResultType result = Skip_Comment(Position, End);
        if (result != XML_OK) {
            Show_Message("syntax error reading comment");
            return result;
        }
    }
    return XML_OK;
}

XMLNodeClass* XMLReaderClass::New_Node(XMLNodeClass* parent, int index)
{
    void* memory = Pool->Allocate(sizeof(XMLNodeClass));
    return memory != nullptr ? new (memory) XMLNodeClass(parent, index) : nullptr;
}

// The element's children leave the stack of open elements' children for a list of their own.
bool XMLReaderClass::Close_Element(XMLNodeClass* node)
{
    const int count = node->Child_Count;
    if (count == 0) return true;
    const int first = Open_Children.Count() - count;
    void* memory = Pool->Allocate(sizeof(XMLNodeClass*) * static_cast<std::size_t>(count));
    if (memory == nullptr) {
        // Without room the element keeps no children rather than a list it does not have.
        node->Child_Count = 0;
    } else {
        node->Children = static_cast<XMLNodeClass**>(memory);
        std::memcpy(node->Children, &Open_Children[first], sizeof(XMLNodeClass*) * static_cast<std::size_t>(count));
    }
    for (int index = 0; index < count; ++index) Open_Children.Remove_Last();
    return memory != nullptr;
}

bool XMLReaderClass::Store_Attributes(XMLNodeClass* node)
{
    const int count = Tag_Attributes.Count();
    const std::size_t bytes = sizeof(XMLNodeClass::AttributeStruct) * static_cast<std::size_t>(count);
    void* memory = Pool->Allocate(bytes);
    if (memory == nullptr) return false;
    std::memcpy(memory, &Tag_Attributes[0], bytes);
    node->Attributes = static_cast<XMLNodeClass::AttributeStruct*>(memory);
    node->Attribute_Count = count;
    for (int index = 0; index < count; ++index) Tag_Attributes.Remove_Last();
    return true;
}

XMLResultType XMLReaderClass::Parse_Elements()
{
    // A data file without any element ends here.
    if (Position == End) return XML_UNEXPECTED_END;
    ++Position;
    if (Pool == nullptr) Pool = new (std::nothrow) XMLNodePoolClass;
    if (Pool == nullptr) return XML_SYNTAX_ERROR;
    // A small file's nodes fit in one block of the file's size; a large file's take a block
    // per megabyte or so.
    Pool->Set_Block_Size(static_cast<std::size_t>(End - Buffer));
    Root = New_Node(nullptr, 0);
    if (Root == nullptr) return XML_SYNTAX_ERROR;

    XMLNodeClass* open = Root;
    const XMLResultType result = Parse_Tree(open);
    if (result != XML_OK) {
        // The elements still open keep the children read so far, as a finished element does.
        for (; open != nullptr; open = open->Parent) Close_Element(open);
    }
    Open_Children.Clear();
    Tag_Attributes.Clear();
    return result;
}

// Iterative descent: the parent pointers are the stack, so nesting costs no call depth. On
// failure open is the innermost element still open.
XMLResultType XMLReaderClass::Parse_Tree(XMLNodeClass*& open)
{
    char* at = Position;
    char* const end = End;
    const bool trim = Trim;
    XMLNodeClass* node = open;
    int depth = 1;
    XMLResultType result = XML_OK;
    for (;;) {
        // Start tag: the read position is just after the "<".
        bool finished = false;
        char terminator = '\0';
        result = Parse_Name(at, end, node->Name, terminator, XML_UNEXPECTED_END);
        if (result != XML_OK) break;
        if (terminator == '/') {
            if (*at != '>') {
                result = XML_SYNTAX_ERROR;
                break;
            }
            ++at;
            finished = true;
        } else if (terminator != '>') {
            for (;;) {
                Skip_Whitespace(at);
                if (at == end) {
                    result = XML_UNEXPECTED_END;
                    break;
                }
                if (*at == '/' || *at == '>') break;
                char* name = nullptr;
                result = Parse_Name(at, end, name, terminator, XML_UNEXPECTED_END);
                if (result != XML_OK) break;
                Skip_Whitespace(at);
                // "=" is consumed only as the name's terminator: "k=" and "k= " are fine, "k =" is not.
                if (terminator != '=' && *at != '=') {
                    result = XML_SYNTAX_ERROR;
                    break;
                }
                Skip_Whitespace(at);
                if (*at != '"') {
                    result = XML_SYNTAX_ERROR;
                    break;
                }
                char* value = ++at;
                if (Skip_To(at, end, '"')) *at++ = '\0';
                if (!Tag_Attributes.Append(XMLNodeClass::AttributeStruct{name, value})) {
                    result = XML_SYNTAX_ERROR;
                    break;
                }
            }
            if (Tag_Attributes.Count() > 0 && !Store_Attributes(node) && result == XML_OK) {
                result = XML_SYNTAX_ERROR;
            }
            if (result != XML_OK) break;
            if (*at == '/') {
                ++at;
                if (*at == '>') {
                    ++at;
                    finished = true;
                }
            } else {
                ++at;
            }
        }

        bool after_text = false;
        if (!finished) {
            result = Parse_Text(at, end, trim, node->Text);
            if (result != XML_OK) break;
            after_text = true;
        }

        // Content: comments, end tags and children, until a child starts.
        for (;;) {
            if (finished) {
                if (!Close_Element(node)) {
                    result = XML_SYNTAX_ERROR;
                    break;
                }
                if (node == open) {
                    Position = at;
                    return XML_OK;
                }
                node = node->Parent;
                --depth;
                finished = false;
            }
            Skip_Whitespace(at);
            if (at == end) {
                result = XML_SYNTAX_ERROR;
                break;
            }
            // Right after the text the "<" of the next tag is already found; after a child
            // element any text up to the next tag is discarded.
            if (!after_text && !Skip_To(at, end, '<')) {
                result = XML_UNEXPECTED_END;
                break;
            }
            after_text = false;
            ++at;
            if (end - at >= 3 && std::memcmp(at, "!--", 3) == 0) {
                --at;
                result = Skip_Comment(at, end);
                if (result != XML_OK) break;
                continue;
            }
            if (*at != '/') break;
            ++at;
            finished = true;
            if (Match_End_Tag(at, node->Name)) continue;
            char* name = nullptr;
            result = Parse_Name(at, end, name, terminator, XML_SYNTAX_ERROR);
            if (result != XML_OK) break;
            if (terminator != '>') {
                Skip_Whitespace(at);
                if (*at != '>') {
                    result = XML_SYNTAX_ERROR;
                    break;
                }
                ++at;
            }
            if (std::strcmp(name, node->Name) != 0) {
                result = XML_SYNTAX_ERROR;
                break;
            }
        }
        if (result != XML_OK) break;

        // A child element starts here.
        if (depth == Max_Depth) {
            result = XML_SYNTAX_ERROR;
            break;
        }
        XMLNodeClass* child = New_Node(node, node->Child_Count);
        if (child == nullptr || !Open_Children.Append(child)) {
            result = XML_SYNTAX_ERROR;
            break;
        }
        ++node->Child_Count;
        node = child;
        ++depth;
    }
    Position = at;
    open = node;
    return result;
}

XMLResultType XMLReaderClass::Cursor_Check() const
{
    if (Root == nullptr) return XML_NOT_LOADED;
    if (Current == nullptr) return XML_NO_NODE;
    return XML_OK;
}

XMLResultType XMLReaderClass::Get_Tag_Name(std::string& name) const
{
    XMLResultType result = Cursor_Check();
    if (result != XML_OK) return result;
    name = Current->Name;
    return XML_OK;
}

XMLResultType XMLReaderClass::Get_Value(std::string& value) const
{
    XMLResultType result = Cursor_Check();
    if (result != XML_OK) return result;
    value = Current->Text != nullptr ? Current->Text : "";
    return XML_OK;
}

bool XMLReaderClass::Get_Attribute(const char* name, std::string& value) const
{
    if (name == nullptr || Cursor_Check() != XML_OK) return false;
    for (int index = 0; index < Current->Attribute_Count; ++index) {
        const XMLNodeClass::AttributeStruct& attribute = Current->Attributes[index];
        if (std::strcmp(attribute.Name, name) == 0) {
            value = attribute.Value;
            return true;
        }
    }
    return false;
}

XMLResultType XMLReaderClass::Move_To_Next_Sibling()
{
    XMLResultType result = Cursor_Check();
    if (result != XML_OK) return result;
    const XMLNodeClass* parent = Current->Parent;
    if (parent == nullptr || Current->Index + 1 >= parent->Child_Count) return XML_NO_NODE;
    Current = parent->Children[Current->Index + 1];
    return XML_OK;
}

XMLResultType XMLReaderClass::Move_To_First_Child()
{
    XMLResultType result = Cursor_Check();
    if (result != XML_OK) return result;
    if (Current->Child_Count == 0) return XML_NO_CHILDREN;
    Current = Current->Children[0];
    return XML_OK;
}

XMLResultType XMLReaderClass::Move_To_Parent()
{
    XMLResultType result = Cursor_Check();
    if (result != XML_OK) return result;
    Current = Current->Parent;
    return XML_OK;
}
