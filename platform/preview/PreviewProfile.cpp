#include "PreviewProfile.h"

#include "BrowserProfile.h"
#include "FormRuntime.h"
#include "MovieRedirectRule.h"
#include "PlayerScheme.h"

#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>

namespace vidlatch::platform {
namespace {

// A movie asks the player for whatever addresses it likes: the page sends
// none of it to the network itself. Its script hands what a movie asks to
// the program, which fetches it where it leads off this machine and its
// network (the player scheme's "net"); anything else is stopped here.
class NetworkGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (LeavesThePlayer(info.requestUrl()))
            info.block(true);
    }
};

struct Preview {
    QWebEngineProfile* profile;
    PlayerSchemeHandler* scheme;
};

const Preview& ThePreview()
{
    static const Preview preview = [] {
        QWebEngineProfile* profile = NewOffTheRecordProfile();
        profile->setUrlRequestInterceptor(new NetworkGuard(profile));
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
