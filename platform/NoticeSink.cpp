#include "platform/Platform.h"

#include <cognexa/Notice.h>

#include <cstdio>

namespace {

void Write_Notice_To_Stderr(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s", caption, text);
    std::fflush(stderr);
}

NoticeHandlerType TheNoticeHandler = Write_Notice_To_Stderr;

}  // namespace

void Set_Notice_Handler(NoticeHandlerType handler)
{
    TheNoticeHandler = handler != nullptr ? handler : Write_Notice_To_Stderr;
}

void Platform::Show_Notice(const char* caption, const char* text)
{
    TheNoticeHandler(caption, text);
}
