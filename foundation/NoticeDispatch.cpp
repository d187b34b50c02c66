#include "foundation/NoticeDispatch.h"

#include "foundation/LibraryPlatformClass.h"

#include <cognexa/Notice.h>

#include <atomic>

namespace {

// Null: the platform's own form. Atomic, because a host may install its handler while another
// thread reads a file.
std::atomic<NoticeHandlerType> TheNoticeHandler{nullptr};

}  // namespace

void Set_Notice_Handler(NoticeHandlerType handler)
{
    TheNoticeHandler.store(handler);
}

void Show_Notice(const char* caption, const char* text)
{
    const NoticeHandlerType handler = TheNoticeHandler.load();
    if (handler != nullptr) {
        handler(caption, text);
    } else {
        TheLibraryPlatformPtr->Show_Notice(caption, text);
    }
}
