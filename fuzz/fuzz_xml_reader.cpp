// XML reader: the input is written to a file, loaded with and without trimming, and every node
// is visited with every cursor operation.
#include "FuzzHost.h"
#include "FuzzScratchFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Read_Current(const XMLReaderClass& reader)
{
    std::string text;
    reader.Get_Tag_Name(text);
    reader.Get_Value(text);
    reader.Get_Attribute("", text);
    reader.Get_Attribute("name", text);
    const XMLNodeClass* node = reader.Get_Current_Node();
    if (node == nullptr) return;
    for (int index = 0; index < node->Get_Attribute_Count(); ++index) {
        reader.Get_Attribute(node->Get_Attribute(index).Name, text);
    }
}

// Depth-first walk from the root with the cursor alone: first child, next sibling, parent.
void Walk_Every_Node(XMLReaderClass& reader)
{
    if (reader.Move_To_Parent() != XML_OK) return;
    const XMLNodeClass* root = reader.Get_Current_Node();
    Read_Current(reader);
    for (;;) {
        if (reader.Move_To_First_Child() == XML_OK) {
            Read_Current(reader);
            continue;
        }
        while (reader.Get_Current_Node() != root && reader.Move_To_Next_Sibling() != XML_OK) {
            reader.Move_To_Parent();
        }
        if (reader.Get_Current_Node() == root) break;
        Read_Current(reader);
    }
    // Past the root the cursor becomes null; every operation must then refuse.
    reader.Move_To_Parent();
    reader.Move_To_Parent();
    Read_Current(reader);
    reader.Move_To_Next_Sibling();
    reader.Move_To_First_Child();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool installed = (FuzzHost::Install(nullptr), true);
    (void)installed;

    const std::string name = FuzzScratchFile::Write("input.xml", data, size);
    for (bool trim : {true, false}) {
        XMLReaderClass reader;
        if (reader.Load_File(name, trim) == XML_OK) {
            Walk_Every_Node(reader);
        } else {
            Read_Current(reader);
            reader.Move_To_First_Child();
            reader.Move_To_Next_Sibling();
            reader.Move_To_Parent();
        }
    }
    // A reader loaded twice drops its first document.
    XMLReaderClass reused;
    reused.Load_File(name, true);
    reused.Load_File(name, false);
    return 0;
}
