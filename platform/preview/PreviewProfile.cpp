#include "PreviewProfile.h"

#include "BrowserProfile.h"
#include "FormRuntime.h"
#include "MovieRedirectRule.h"
#include "PlayerScheme.h"

#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>

namespace vidlatch::platform {
namespace {

// A movie asks the player for whatever addresses it likes: what it asks of
// this machine or its network never leaves the preview, as the movie fetch
// never follows a site there.
class LocalNetworkGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl page = info.initiator().isEmpty() ? info.firstPartyUrl() : info.initiator();
        if (!MayMovieRequest(page, info.requestUrl()))
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
        profile->setUrlRequestInterceptor(new LocalNetworkGuard(profile));
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
