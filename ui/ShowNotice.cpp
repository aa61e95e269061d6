#include "ShowNotice.h"

#include "FormRuntime.h"
#include "ProgramLanguage.h"

namespace vidlatch::ui {

int ShowNotice(const QString& text, NoticeStyle style)
{
    return platform::Runtime().MsgBox(text, static_cast<int>(style), platform::Translated(NoticeTitle));
}

} // namespace vidlatch::ui
