#include "PreviewProfile.h"

#include "BrowserProfile.h"
#include "FormRuntime.h"
#include "PlayerScheme.h"

#include <QWebEngineProfile>

namespace vidlatch::platform {
namespace {

struct Preview {
    QWebEngineProfile* profile;
    PlayerSchemeHandler* scheme;
};

const Preview& ThePreview()
{
    static const Preview preview = [] {
        QWebEngineProfile* profile = NewOffTheRecordProfile();
        auto* scheme = new PlayerSchemeHandler(Runtime().AppPath() + QStringLiteral("/ruffle"), profile);
        profile->installUrlSchemeHandler(PlayerScheme, scheme);
        return Preview{profile, scheme};
    }();
    return preview;
}

} // namespace

void PreparePreviewProcess()
{
    RegisterPlayerScheme();
}

QWebEngineProfile* PreviewProfile()
{
    return ThePreview().profile;
}

PlayerSchemeHandler& PreviewPlayerScheme()
{
    return *ThePreview().scheme;
}

} // namespace vidlatch::platform
