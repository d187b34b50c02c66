#ifndef COGNEXA_XML_NODE_CLASS_H
#define COGNEXA_XML_NODE_CLASS_H

#include <cognexa/Export.h>

// One element of a document read by XMLReaderClass. Names, texts and attribute strings point
// into the reader's buffer (ended by 0 bytes written there); the nodes themselves, their
// attribute lists and child lists live in the reader's node pool. A node therefore lives exactly
// as long as its reader's document: only the reader creates and frees nodes.
class COGNEXA_API XMLNodeClass {
public:
    struct AttributeStruct {
        const char* Name;
        const char* Value;
        bool operator==(const AttributeStruct& other) const
        {
            return Name == other.Name && Value == other.Value;
        }
    };

    XMLNodeClass(const XMLNodeClass&) = delete;
    XMLNodeClass& operator=(const XMLNodeClass&) = delete;

    XMLNodeClass* Get_Parent() const { return Parent; }
    int Get_Index() const { return Index; }
    const char* Get_Name() const { return Name; }
    // Null when the element has no text.
    const char* Get_Text() const { return Text; }
    int Get_Attribute_Count() const { return Attribute_Count; }
    const AttributeStruct& Get_Attribute(int index) const { return Attributes[index]; }
    int Get_Child_Count() const { return Child_Count; }
    XMLNodeClass* Get_Child(int index) const { return Children[index]; }

private:
    friend class XMLReaderClass;

    XMLNodeClass(XMLNodeClass* parent, int index)
        : Parent(parent), Index(index), Attribute_Count(0), Child_Count(0), Name(nullptr), Text(nullptr),
          Attributes(nullptr), Children(nullptr)
    {
    }
    ~XMLNodeClass() = default;

    XMLNodeClass* Parent;
    int Index;
    int Attribute_Count;
    // While the element is open: how many of its children wait on the reader's stack.
    int Child_Count;
    char* Name;
    char* Text;
    AttributeStruct* Attributes;
    XMLNodeClass** Children;
};

#endif
