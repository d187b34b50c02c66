#ifndef COGNEXA_XML_READER_CLASS_H
#define COGNEXA_XML_READER_CLASS_H

#include <cognexa/Export.h>
#include <cognexa/GrowableArrayClass.h>
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
// into a tree of elements held in a node pool of the reader's own; a cursor walks the tree. Syntax failures are also announced in the
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
    XMLResultType Parse_Tree(XMLNodeClass*& open);
    XMLNodeClass* New_Node(XMLNodeClass* parent, int index);
    bool Close_Element(XMLNodeClass* node);
    bool Store_Attributes(XMLNodeClass* node);
    void Show_Message(const char* message) const;

    XMLNodeClass* Current;
    XMLNodeClass* Root;
    std::string File_Name;
    char* Buffer;
    char* Position;
    char* End;
    bool Trim;
    // Nodes, attribute lists and child lists of the document; freed with it.
    class XMLNodePoolClass* Pool;
    // While parsing: the children of every open element, in order, until the element closes and
    // they move to a list of their own in the pool; and the attributes of the current start tag.
    GrowableArrayClass<XMLNodeClass*> Open_Children;
    GrowableArrayClass<XMLNodeClass::AttributeStruct> Tag_Attributes;
};

#endif
