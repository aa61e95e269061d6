#include "ShowNotice.h"

#include "FormRuntime.h"
#include "QtText.h"

namespace vidlatch::ui {

int ShowNotice(const QString& text, NoticeStyle style)
{
    return platform::Runtime().MsgBox(text, static_cast<int>(style), Q(NoticeTitle));
}

} // namespace vidlatch::ui
