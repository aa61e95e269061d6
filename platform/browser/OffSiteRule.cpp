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
    if (ask == OffSiteAsk::User)
        return OffSiteOutcome::Opening;
    using Event = UserActions::Event;
    return actions.On(ask == OffSiteAsk::Redirect ? Event::RedirectsElsewhere : Event::AsksElsewhere)
               ? OffSiteOutcome::Opening
               : OffSiteOutcome::WithoutAction;
}

} // namespace vidlatch::platform
