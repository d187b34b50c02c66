#include <cognexa/XMLReaderClass.h>

#include <cognexa/FileStreamClass.h>

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

enum ContentItemType { ITEM_COMMENT, ITEM_END_TAG, ITEM_CHILD };

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
    : Current(nullptr), Root(nullptr), Buffer(nullptr), Position(nullptr), End(nullptr), Trim(false)
{
}

XMLReaderClass::~XMLReaderClass()
{
    Discard_Document();
}

void XMLReaderClass::Discard_Document()
{
    delete Root;
    std::free(Buffer);
    Root = nullptr;
    Current = nullptr;
    Buffer = nullptr;
    Position = nullptr;
    End = nullptr;
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
    if (Root->Children.Count() == 0) {
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

// The parser never moves past End; the 0 byte stored there reads as "no such byte", so a
// comparison at End fails like any other wrong byte.

void XMLReaderClass::Skip_Whitespace()
{
    // The 0 byte at End is not whitespace, so the loop needs no bounds check.
    while (Has_Class(*Position, BYTE_WHITESPACE)) ++Position;
}

bool XMLReaderClass::Skip_To(char byte)
{
    const void* found = std::memchr(Position, byte, static_cast<std::size_t>(End - Position));
    Position = found != nullptr ? static_cast<char*>(const_cast<void*>(found)) : End;
    return found != nullptr;
}

bool XMLReaderClass::At_Comment() const
{
    return End - Position >= 4 && std::memcmp(Position, "<!--", 4) == 0;
}

XMLResultType XMLReaderClass::Skip_Comment()
{
    Position += 4;
    for (;;) {
        if (!Skip_To('-')) return XML_UNEXPECTED_END;
        if (End - Position < 2) {
            Position = End;
            return XML_UNEXPECTED_END;
        }
        if (Position[1] == '-') break;
        ++Position;
    }
    Position += 2;
    if (Position == End) return XML_UNEXPECTED_END;
    if (*Position != '>') return XML_SYNTAX_ERROR;
    ++Position;
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Header()
{
    if (Skip_To('<')) ++Position;
    if (*Position != '?') return XML_SYNTAX_ERROR;
    if (!Skip_To('>')) return XML_UNEXPECTED_END;
    ++Position;
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Prolog()
{
    while (Skip_To('<') && At_Comment()) {
        XMLResultType result = Skip_Comment();
        if (result != XML_OK) return result;
    }
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Epilog()
{
    while (Skip_To('<')) {
        if (!At_Comment()) {
            Show_Message("file has multiple root nodes. Aborting!");
            return XML_SYNTAX_ERROR;
        }
        XMLResultType result = Skip_Comment();
        if (result != XML_OK) {
            Show_Message("syntax error reading comment");
            return result;
        }
    }
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Name(char*& name, char& terminator, XMLResultType end_result)
{
    name = Position;
    // The scan stops at a name end or at a 0 byte; only the 0 byte at End ends the buffer, one
    // inside the file is part of the name.
    const unsigned char stops = BYTE_NAME_END | BYTE_NUL;
    for (;;) {
        // Four bytes a step: names are short, and the loop's branch is what costs.
        for (;;) {
            if (Has_Class(Position[0], stops)) break;
            if (Has_Class(Position[1], stops)) { Position += 1; break; }
            if (Has_Class(Position[2], stops)) { Position += 2; break; }
            if (Has_Class(Position[3], stops)) { Position += 3; break; }
            Position += 4;
        }
        if (*Position != '\0' || Position == End) break;
        ++Position;
    }
    if (Position == End) return end_result;
    terminator = *Position;
    *Position++ = '\0';
    return XML_OK;
}

// The common end tag, "</name>" written exactly as its start tag, in one pass: the end tag's name
// is compared while it is scanned. Anything else is left to the general path.
bool XMLReaderClass::Match_End_Tag(const char* name)
{
    char* end_name = Position;
    while (*name != '\0' && *end_name == *name) {
        ++end_name;
        ++name;
    }
    if (*name != '\0' || *end_name != '>') return false;
    *end_name = '\0';
    Position = end_name + 1;
    return true;
}

XMLResultType XMLReaderClass::Parse_Elements()
{
    // A data file without any element ends here.
    if (Position == End) return XML_UNEXPECTED_END;
    ++Position;
    Root = new (std::nothrow) XMLNodeClass(nullptr, 0);
    if (Root == nullptr) return XML_SYNTAX_ERROR;

    // Iterative descent: the parent pointers are the stack, so nesting costs no call depth.
    XMLNodeClass* node = Root;
    int depth = 1;
    for (;;) {
        bool finished = false;
        XMLResultType result = Parse_Start_Tag(node, finished);
        if (result != XML_OK) return result;
        bool after_text = false;
        if (!finished) {
            result = Parse_Text(node);
            if (result != XML_OK) return result;
            after_text = true;
        }
        for (;;) {
            if (finished) {
                if (node == Root) return XML_OK;
                node = node->Parent;
                --depth;
                finished = false;
            }
            int item;
            result = Parse_Content_Item(node, after_text, item);
            if (result != XML_OK) return result;
            after_text = false;
            if (item == ITEM_END_TAG) finished = true;
            if (item == ITEM_CHILD) break;
        }
        if (depth == Max_Depth) return XML_SYNTAX_ERROR;
        XMLNodeClass* child = new (std::nothrow) XMLNodeClass(node, node->Children.Count());
        if (child == nullptr || !node->Children.Append(child)) {
            delete child;
            return XML_SYNTAX_ERROR;
        }
        node = child;
        ++depth;
    }
}

XMLResultType XMLReaderClass::Parse_Start_Tag(XMLNodeClass* node, bool& empty)
{
    char terminator = '\0';
    XMLResultType result = Parse_Name(node->Name, terminator, XML_UNEXPECTED_END);
    if (result != XML_OK) return result;
    if (terminator == '/') {
        if (*Position != '>') return XML_SYNTAX_ERROR;
        ++Position;
        empty = true;
        return XML_OK;
    }
    if (terminator == '>') return XML_OK;

    for (;;) {
        Skip_Whitespace();
        if (Position == End) return XML_UNEXPECTED_END;
        if (*Position == '/' || *Position == '>') break;
        XMLNodeClass::AttributeStruct attribute;
        char* name = nullptr;
        result = Parse_Name(name, terminator, XML_UNEXPECTED_END);
        if (result != XML_OK) return result;
        Skip_Whitespace();
        // "=" is consumed only as the name's terminator: "k=" and "k= " are fine, "k =" is not.
        if (terminator != '=' && *Position != '=') return XML_SYNTAX_ERROR;
        Skip_Whitespace();
        if (*Position != '"') return XML_SYNTAX_ERROR;
        char* value = ++Position;
        if (Skip_To('"')) *Position++ = '\0';
        attribute.Name = name;
        attribute.Value = value;
        if (!node->Attributes.Append(attribute)) return XML_SYNTAX_ERROR;
    }
    if (*Position == '/') {
        ++Position;
        if (*Position == '>') {
            ++Position;
            empty = true;
        }
        return XML_OK;
    }
    ++Position;
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Text(XMLNodeClass* node)
{
    // Comments are cut out by moving the bytes after them down to join the bytes before.
    char* const text = Position;
    char* write = Position;
    for (;;) {
        char* const run = Position;
        if (!Skip_To('<')) return XML_UNEXPECTED_END;
        const std::size_t length = static_cast<std::size_t>(Position - run);
        if (write != run) std::memmove(write, run, length);
        write += length;
        if (!At_Comment()) break;
        XMLResultType result = Skip_Comment();
        if (result != XML_OK) return result;
    }
    // With no comment removed this overwrites the "<" of the next tag.
    *write = '\0';

    char* first = text;
    if (Trim) {
        while (first < write && Has_Class(*first, BYTE_WHITESPACE)) ++first;
        while (write > first && Has_Class(write[-1], BYTE_WHITESPACE)) *--write = '\0';
    }
    node->Text = first;
    return XML_OK;
}

XMLResultType XMLReaderClass::Parse_Content_Item(XMLNodeClass* node, bool after_text, int& item)
{
    Skip_Whitespace();
    if (Position == End) return XML_SYNTAX_ERROR;
    // Right after the text the "<" of the next tag is already found; after a child element any
    // text up to the next tag is discarded.
    if (!after_text && !Skip_To('<')) return XML_UNEXPECTED_END;
    ++Position;

    if (End - Position >= 3 && std::memcmp(Position, "!--", 3) == 0) {
        --Position;
        item = ITEM_COMMENT;
        return Skip_Comment();
    }
    if (*Position != '/') {
        item = ITEM_CHILD;
        return XML_OK;
    }

    ++Position;
    if (Match_End_Tag(node->Name)) {
        item = ITEM_END_TAG;
        return XML_OK;
    }
    char* name = nullptr;
    char terminator = '\0';
    XMLResultType result = Parse_Name(name, terminator, XML_SYNTAX_ERROR);
    if (result != XML_OK) return result;
    if (terminator != '>') {
        Skip_Whitespace();
        if (*Position != '>') return XML_SYNTAX_ERROR;
        ++Position;
    }
    if (std::strcmp(name, node->Name) != 0) return XML_SYNTAX_ERROR;
    item = ITEM_END_TAG;
    return XML_OK;
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
    for (int index = 0; index < Current->Attributes.Count(); ++index) {
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
    if (parent == nullptr || Current->Index + 1 >= parent->Children.Count()) return XML_NO_NODE;
    Current = parent->Children[Current->Index + 1];
    return XML_OK;
}

XMLResultType XMLReaderClass::Move_To_First_Child()
{
    XMLResultType result = Cursor_Check();
    if (result != XML_OK) return result;
    if (Current->Children.Count() == 0) return XML_NO_CHILDREN;
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
