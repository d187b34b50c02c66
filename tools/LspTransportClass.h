#ifndef COGNEXA_TOOLS_LSP_TRANSPORT_CLASS_H
#define COGNEXA_TOOLS_LSP_TRANSPORT_CLASS_H

#include <cstddef>
#include <cstdio>
#include <string>

// The editor protocol's framing over a byte stream: headers ("Content-Length: N"), a blank line,
// then N bytes of body. Damaged framing is reported and skipped, never trusted: a header line or
// a body above its limit, a header block without a length.
class LspTransportClass {
public:
    enum ReadResultType { READ_MESSAGE, READ_MALFORMED, READ_END };

    static constexpr std::size_t MAX_HEADER_LINE = 8192;
    static constexpr std::size_t MAX_BODY = 256u << 20;

    LspTransportClass(std::FILE* input, std::FILE* output) : Input(input), Output(output) {}

    // READ_MALFORMED with the reason in problem; READ_END at the end of input (also inside a
    // message: a body shorter than its length).
    ReadResultType Read_Message(std::string& body, std::string& problem);
    bool Write_Message(const std::string& body);

private:
    // One header line without its line end; false at the end of input.
    bool Read_Line(std::string& line, bool& too_long);

    std::FILE* Input;
    std::FILE* Output;
};

#endif
