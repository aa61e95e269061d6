#include "OffSiteRule.h"

#include "AddressRule.h"
#include "UserActions.h"

namespace vidlatch::platform {

OffSiteOutcome JudgeOffSite(const QUrl& url, OffSiteAsk ask, UserActions& actions)
{
    if (!IsWebAddress(url))
        return OffSiteOutcome::NotWebPage;
    if (ask == OffSiteAsk::Form)
        return OffSiteOutcome::FormNotSent;
    if (ask == OffSiteAsk::User || actions.Spend())
        return OffSiteOutcome::Opening;
    return OffSiteOutcome::WithoutAction;
}

} // namespace vidlatch::platform
