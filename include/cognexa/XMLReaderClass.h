#ifndef COGNEXA_XML_READER_CLASS_H
#define COGNEXA_XML_READER_CLASS_H

#include <cognexa/Export.h>
#include <cognexa/XMLNodeClass.h>

#include <string>

// Result codes of the reader: 0 is success, every failure is negative as a signed value.
typedef int XMLResultType;
constexpr XMLResultType XML_OK = 0;
constexpr XMLResultType XML_NOT_LOADED = static_cast<XMLResultType>(0x80640001u);
constexpr XMLResultType XML_NO_NODE = static_cast<XMLResultType>(0x80640002u);
constexpr XMLResultType XML_SYNTAX_ERROR = static_cast<XMLResultType>(0x80640003u);
constexpr XMLResultType XML_NO_CHILDREN = static_cast<XMLResultType>(0x80640006u);
constexpr XMLResultType XML_UNEXPECTED_END = static_cast<XMLResultType>(0x80640008u);

// Reads one whole file (loose or an archive member) into one buffer and parses it in place
// into a tree of elements; a cursor walks the tree. Syntax failures are also announced in the
// notice "Expect Strange Bugs...".
class COGNEXA_API XMLReaderClass {
public:
    // Elements nested deeper than this are a syntax error.
    static constexpr int Max_Depth = 10000;

    XMLReaderClass();
    ~XMLReaderClass();
    XMLReaderClass(const XMLReaderClass&) = delete;
    XMLReaderClass& operator=(const XMLReaderClass&) = delete;

    // On XML_OK the cursor stands on the first child of the root element. With trim, texts lose
    // their leading and trailing whitespace.
    XMLResultType Load_File(const std::string& file_name, bool trim);

    XMLResultType Get_Tag_Name(std::string& name) const;
    XMLResultType Get_Value(std::string& value) const;
    bool Get_Attribute(const char* name, std::string& value) const;
    XMLResultType Move_To_Next_Sibling();
    XMLResultType Move_To_First_Child();
    XMLResultType Move_To_Parent();

    // The cursor's node and the root element, for callers that walk the tree themselves.
    const XMLNodeClass* Get_Current_Node() const { return Current; }
    const XMLNodeClass* Get_Root_Node() const { return Root; }

private:
    XMLResultType Cursor_Check() const;
    void Discard_Document();
    XMLResultType Read_Whole_File();
    XMLResultType Parse_Header();
    XMLResultType Parse_Prolog();
    XMLResultType Parse_Epilog();
    XMLResultType Parse_Elements();
    XMLResultType Parse_Start_Tag(XMLNodeClass* node, bool& empty);
    XMLResultType Parse_Content_Item(XMLNodeClass* node, bool after_text, int& item);
    XMLResultType Parse_Text(XMLNodeClass* node);
    XMLResultType Parse_Name(char*& name, char& terminator, XMLResultType end_result);
    bool Match_End_Tag(const char* name);
    XMLResultType Skip_Comment();
    bool At_Comment() const;
    void Skip_Whitespace();
    bool Skip_To(char byte);
    void Show_Message(const char* message) const;

    XMLNodeClass* Current;
    XMLNodeClass* Root;
    std::string File_Name;
    char* Buffer;
    char* Position;
    char* End;
    bool Trim;
};

#endif
