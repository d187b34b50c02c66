#ifndef COGNEXA_TOOLS_ELEMENT_LOCATOR_CLASS_H
#define COGNEXA_TOOLS_ELEMENT_LOCATOR_CLASS_H

#include <cstddef>
#include <string>

// Finds where an element and a place in its text stand in an XML file, for messages: the
// file's bytes are searched for the element's start tag (comments skipped) and its text is
// walked as the reader delivers it (comments removed, then trimmed). Only a position lookup:
// the file was parsed by the library's reader.
class ElementLocatorClass {
public:
    static constexpr std::size_t NOT_FOUND = static_cast<std::size_t>(-1);

    struct PositionStruct {
        int Line = 0;  // 1-based; 0 when unknown
        int Column = 0;
    };

    // Reads the file through the library's file object, so archive members are found too.
    bool Load(const std::string& path);
    void Set_Bytes(const std::string& bytes) { Bytes = bytes; }

    // Offset of the "<" of the occurrence-th (0-based) start tag with this name, or NOT_FOUND.
    std::size_t Find_Element(const std::string& name, int occurrence) const;
    // Offset of the "<" of the first start tag with this name at or after from, or NOT_FOUND;
    // walking a file's elements in order this way costs one pass.
    std::size_t Find_Element_From(const std::string& name, std::size_t from) const;
    // File offset of byte offset of the element's text; an offset at or past the text's end
    // gives the place just after its last byte.
    std::size_t Text_Offset(std::size_t element, std::size_t offset) const;

    PositionStruct Position_Of(std::size_t file_offset) const;
    // The line that holds file_offset, without its line break.
    std::string Line_At(std::size_t file_offset) const;

private:
    bool Comment_At(std::size_t offset) const;
    std::size_t Comment_End(std::size_t offset) const;

    std::string Bytes;
};

#endif
