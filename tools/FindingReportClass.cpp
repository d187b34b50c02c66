#include "tools/FindingReportClass.h"

#include "tools/JsonText.h"

#include <algorithm>
#include <tuple>

namespace {

std::string Location_Of(const FindingStruct& finding)
{
    std::string location = finding.File;
    if (!finding.Archive.empty()) {
        location += " (in " + finding.Archive + ")";
    }
    if (finding.Line > 0) {
        location += ":" + std::to_string(finding.Line) + ":" + std::to_string(finding.Column);
    }
    return location;
}

// The caret keeps the line's tabs, so it stands under the right character in any tab width.
std::string Caret_Line(const std::string& source, int column)
{
    std::string caret;
    for (int index = 0; index + 1 < column && index < static_cast<int>(source.size()); ++index) {
        caret += source[index] == '\t' ? '\t' : ' ';
    }
    return caret + "^";
}

}  // namespace

void FindingReportClass::Sort()
{
    std::stable_sort(Findings.begin(), Findings.end(), [](const FindingStruct& a, const FindingStruct& b) {
        return std::tie(a.File, a.Archive, a.Line, a.Column) < std::tie(b.File, b.Archive, b.Line, b.Column);
    });
}

std::string FindingReportClass::To_Text() const
{
    std::string text;
    for (const FindingStruct& finding : Findings) {
        text += Location_Of(finding) + ": ";
        if (!finding.Equation.empty()) {
            text += finding.Equation + ": ";
        }
        text += finding.Message + "\n";
        if (!finding.Source_Line.empty()) {
            text += "    " + finding.Source_Line + "\n";
            text += "    " + Caret_Line(finding.Source_Line, finding.Column) + "\n";
        }
    }
    return text;
}

std::string FindingReportClass::To_Json() const
{
    std::string json = "{\"problems\": [";
    for (std::size_t index = 0; index < Findings.size(); ++index) {
        const FindingStruct& finding = Findings[index];
        json += index == 0 ? "\n  " : ",\n  ";
        json += "{\"file\": " + Json_Quote(finding.File);
        json += ", \"archive\": " + (finding.Archive.empty() ? std::string("null") : Json_Quote(finding.Archive));
        json += ", \"equation\": " + (finding.Equation.empty() ? std::string("null") : Json_Quote(finding.Equation));
        json += ", \"line\": " + std::to_string(finding.Line);
        json += ", \"column\": " + std::to_string(finding.Column);
        json += ", \"kind\": " + Json_Quote(finding.Kind);
        json += ", \"message\": " + Json_Quote(finding.Message);
        json += ", \"source\": " + (finding.Source_Line.empty() ? std::string("null") : Json_Quote(finding.Source_Line));
        json += "}";
    }
    json += Findings.empty() ? "]," : "\n],";
    json += " \"count\": " + std::to_string(Findings.size()) + "}\n";
    return json;
}
