#ifndef COGNEXA_REPORT_PARSE_ERROR_H
#define COGNEXA_REPORT_PARSE_ERROR_H

// Tells the player, once in the life of the process, that the equation data has problems.
// Which equation failed is not said; callers report the failure through their results.
void Report_Parse_Error();

// For the library's own tests only (hidden, like everything not exported): whether the notice
// has been shown, and forgetting that it was, so each test can count notices from zero.
bool Parse_Error_Announced();
void Forget_Parse_Error_Announcement();

#endif
