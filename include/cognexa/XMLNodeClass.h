#ifndef COGNEXA_XML_NODE_CLASS_H
#define COGNEXA_XML_NODE_CLASS_H

#include <cognexa/Export.h>
#include <cognexa/GrowableArrayClass.h>

// One element of a document read by XMLReaderClass. Names, texts and attribute strings point
// into the reader's buffer (ended by 0 bytes written there), so a node lives no longer than
// its reader. A node owns its children.
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

    XMLNodeClass(XMLNodeClass* parent, int index);
    // Deletes the whole subtree without recursion, so the depth of a document never
    // threatens the stack.
    ~XMLNodeClass();
    XMLNodeClass(const XMLNodeClass&) = delete;
    XMLNodeClass& operator=(const XMLNodeClass&) = delete;

    XMLNodeClass* Get_Parent() const { return Parent; }
    int Get_Index() const { return Index; }
    const char* Get_Name() const { return Name; }
    // Null when the element has no text.
    const char* Get_Text() const { return Text; }
    int Get_Attribute_Count() const { return Attributes.Count(); }
    const AttributeStruct& Get_Attribute(int index) const { return Attributes[index]; }
    int Get_Child_Count() const { return Children.Count(); }
    XMLNodeClass* Get_Child(int index) const { return Children[index]; }

private:
    friend class XMLReaderClass;

    XMLNodeClass* Parent;
    int Index;
    char* Name;
    char* Text;
    GrowableArrayClass<AttributeStruct> Attributes;
    GrowableArrayClass<XMLNodeClass*> Children;
};

#endif
