#ifndef COGNEXA_TOOLS_FINDING_REPORT_CLASS_H
#define COGNEXA_TOOLS_FINDING_REPORT_CLASS_H

#include <string>
#include <vector>

// One problem found in the game's data.
struct FindingStruct {
    std::string File;     // relative to the game root, "/" separators
    std::string Archive;  // the archive the file came from; "" for a loose file
    std::string Equation; // "" for a problem of the whole file
    int Line = 0;         // 1-based place in the file; 0 when unknown
    int Column = 0;
    std::string Kind;     // syntax, unknown-token, unknown-database, unknown-object, unknown-function,
                          // malformed, duplicate, xml, archive, no-equations
    std::string Message;
    std::string Source_Line;  // the line to show with a caret under Column; "" for none
};

// The findings of a check, sorted by file (then place) and written as text or JSON.
class FindingReportClass {
public:
    void Add(FindingStruct finding) { Findings.push_back(std::move(finding)); }
    void Sort();

    bool Is_Empty() const { return Findings.empty(); }
    std::size_t Count() const { return Findings.size(); }
    const std::vector<FindingStruct>& Get_Findings() const { return Findings; }

    // One problem a line, "FILE[ (in ARCHIVE)]:LINE:COLUMN: EQUATION: MESSAGE", a syntax error
    // followed by its line and a caret.
    std::string To_Text() const;
    std::string To_Json() const;

private:
    std::vector<FindingStruct> Findings;
};

#endif
