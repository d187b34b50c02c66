#ifndef VESTIBAR_PAGE_RESOURCES_CLASS_H
#define VESTIBAR_PAGE_RESOURCES_CLASS_H

#include <string>

typedef struct _GBytes GBytes;

// The pages, style sheet, images and profile compiled into the program. A name is matched by
// its last path component without regard to case, as the pages were written for a file
// system that ignores case.
class PageResourcesClass {
public:
    // New reference, or null when no resource has that name.
    GBytes* Find(const std::string& name) const;
    static std::string Last_Component(const std::string& path);
    static const char* Mime_Type(const std::string& name);
};

#endif
