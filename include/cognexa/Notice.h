#ifndef COGNEXA_NOTICE_H
#define COGNEXA_NOTICE_H

#include <cognexa/Export.h>

// The library announces problems in game data with modal notices (caption and text). The
// notice counts as shown when the handler returns. Without a handler of the host's, or after
// Set_Notice_Handler(nullptr), notices take the system's own form: on Windows a message box
// without owner window, elsewhere a line "caption: text" on stderr.
typedef void (*NoticeHandlerType)(const char* caption, const char* text);

COGNEXA_API void Set_Notice_Handler(NoticeHandlerType handler);

#endif
