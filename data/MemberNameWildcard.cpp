#include "data/MemberNameWildcard.h"

bool Member_Name_Matches(const std::string& pattern, const std::string& full_name)
{
    const std::string::size_type slash = full_name.rfind('\\');
    const std::string name = slash == std::string::npos ? full_name : full_name.substr(slash + 1);

    std::string::size_type p = 0;
    std::string::size_type n = 0;
    bool star_pending = false;
    while (p < pattern.size() && n < name.size()) {
        const char wanted = pattern[p];
        if (wanted == '*') {
            star_pending = true;
            ++p;
        } else if (wanted == '?') {
            ++p;
            ++n;
        } else if (!star_pending) {
            if (wanted != name[n]) return false;
            ++p;
            ++n;
        } else {
            std::string::size_type run_end = pattern.find_first_of("*?", p);
            if (run_end == std::string::npos) run_end = pattern.size();
            const std::string::size_type found = name.find(pattern.data() + p, n, run_end - p);
            if (found == std::string::npos) return false;
            n = found + (run_end - p);
            p = run_end;
            star_pending = false;
        }
    }
    return p == pattern.size() && (star_pending || n == name.size());
}
