#include "UserActions.h"

namespace vidlatch::platform {
namespace {

using State = UserActions::State;
using Event = UserActions::Event;

// What each event does in each state; a pair not listed changes nothing
// (and an ask in it is stopped).
struct Transition { State from; Event event; State to; bool granted; };
constexpr Transition Transitions[] = {
    {State::None, Event::Acted, State::Due, false},
    {State::Due, Event::Acted, State::Due, false},
    {State::Navigating, Event::Acted, State::Due, false},
    {State::Due, Event::PageNavigates, State::Navigating, false},
    {State::Navigating, Event::PageNavigates, State::None, false},  // another navigation: not the action's
    {State::Due, Event::NewDocument, State::None, false},
    {State::Navigating, Event::NewDocument, State::None, false},
    {State::Due, Event::SpanOver, State::None, false},  // a navigation under way is the network's to finish
    {State::Due, Event::AsksElsewhere, State::None, true},
    {State::Due, Event::RedirectsElsewhere, State::None, true},
    {State::Navigating, Event::RedirectsElsewhere, State::None, true},
};

bool IsAsk(Event event) { return event == Event::AsksElsewhere || event == Event::RedirectsElsewhere; }

} // namespace

bool UserActions::On(Event event)
{
    for (const Transition& row : Transitions) {
        if (row.from == state_ && row.event == event) {
            state_ = row.to;
            return row.granted;
        }
    }
    if (IsAsk(event))
        ++stopped_;
    return false;
}

} // namespace vidlatch::platform
