#include "tools/FindingReportClass.h"


#include <nlohmann/json.hpp>

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
    using Json = nlohmann::ordered_json;
    auto text_or_null = [](const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); };
    Json problems = Json::array();
    for (const FindingStruct& finding : Findings) {
        problems.push_back(Json{{"file", finding.File},
                                {"archive", text_or_null(finding.Archive)},
                                {"equation", text_or_null(finding.Equation)},
                                {"line", finding.Line},
                                {"column", finding.Column},
                                {"kind", finding.Kind},
                                {"message", finding.Message},
                                {"source", text_or_null(finding.Source_Line)}});
    }
    const Json report{{"problems", problems}, {"count", Findings.size()}};
    // Names are bytes as the game stores them; ones that are not UTF-8 are shown replaced.
    return report.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
