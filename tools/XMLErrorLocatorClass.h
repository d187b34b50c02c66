#ifndef COGNEXA_TOOLS_XML_ERROR_LOCATOR_CLASS_H
#define COGNEXA_TOOLS_XML_ERROR_LOCATOR_CLASS_H

#include <cstddef>
#include <string>

// Where in a file the XML reader gave up, for an editor's mark: the reader names only the kind
// of failure, so the file is walked again with the same rules (header, comments, tags balanced
// by exact name, attributes written name="value", one root) to find the first place that
// breaks the rule the message names.
class XMLErrorLocatorClass {
public:
    struct PlaceStruct {
        std::size_t Start = 0;
        std::size_t End = 0;  // exclusive; the end of the data for a file cut short
    };

    static PlaceStruct Locate(const std::string& bytes, const std::string& message);

private:
    explicit XMLErrorLocatorClass(const std::string& bytes) : Bytes(bytes) {}

    bool Scan_Elements();
    bool Skip_Comment();
    bool Scan_Start_Tag(std::string& name, bool& empty);
    std::size_t Name_End(std::size_t from) const;
    void Fail_At(std::size_t start, std::size_t end);

    const std::string& Bytes;
    std::size_t At = 0;
    std::size_t Root = std::string::npos;
    std::size_t Second_Root = std::string::npos;
    std::size_t Bad_Comment = std::string::npos;
    PlaceStruct Failure;
    bool Failed = false;
};

#endif
