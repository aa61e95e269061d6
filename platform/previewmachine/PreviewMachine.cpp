#include "PreviewMachine.h"

#include <algorithm>
#include <initializer_list>

namespace vidlatch::platform {
namespace {

using State = PreviewMachine::State;
using Event = PreviewMachine::Event;
using A = PreviewMachine::Action;
using G = PreviewMachine::Guard;
using P = MovieProblem;

// The states a row starts from, as a set.
using States = unsigned;
constexpr States In(std::initializer_list<State> states)
{
    States set = 0;
    for (State state : states)
        set |= 1u << static_cast<unsigned>(state);
    return set;
}
constexpr States Any = ~0u;

constexpr PreviewMachine::Actions Carried = PreviewMachine::Actions::fromInt((1u << 24) - 1);

} // namespace

// A row: in one of `from`, on `on`, where every guard of `when` holds, the
// movie goes `to` and the actions are carried out; a movie with no sentence
// gets `says`'s. The first row that fits is taken; an event no row fits is
// ignored.
struct PreviewMachine::Row {
    States from;
    Event on;
    Guards when;
    To to;
    Actions actions;
    MovieProblem says = P::None;
};

// clang-format off
const PreviewMachine::Row PreviewMachine::Rows[] = {
    // A movie set: played at once where it is staged or held for a page that
    // stays; else fetched, or its fetch ahead adopted, while its page gets
    // ready, and the movie before stops where that page stays.
    {Any, Event::SetMovie, G::AheadIsSet | G::PageFits, To::Handed, A::AdoptAhead | A::CountMovie | A::HandOver},
    {Any, Event::SetMovie, G::AheadIsSet, To::Waiting, A::AdoptAhead | A::PlacePage},
    {Any, Event::SetMovie, G::AheadComing, To::Fetching, A::AdoptAhead | A::PlacePage},
    {Any, Event::SetMovie, G::MovieStaged, To::Fetching, A::StartFetch | A::DropAhead | A::Unstage | A::PlacePage},
    {Any, Event::SetMovie, G::MovieAhead, To::Fetching, A::StartFetch | A::DropAhead | A::PlacePage},
    {Any, Event::SetMovie, {}, To::Fetching, A::StartFetch | A::PlacePage},

    {Any, Event::Prefetch, G::SameAhead, To::Stay, {}},
    {Any, Event::Prefetch, G::MovieStaged, To::Stay, A::DropAhead | A::Unstage | A::FetchAhead},
    {Any, Event::Prefetch, G::MovieAhead, To::Stay, A::DropAhead | A::FetchAhead},
    {Any, Event::Prefetch, {}, To::Stay, A::FetchAhead},

    // The set movie, or why it failed, is here: to the page once it is ready;
    // a page gone silent meanwhile could take neither, and a new one is made.
    {In({State::Fetching}), Event::Fetched, G::PageTakes | G::Silent, To::Waiting, A::RenewPage | A::BuildPage},
    {In({State::Fetching}), Event::Fetched, G::PageTakes, To::Handed, A::HandOver},
    {In({State::Fetching}), Event::Fetched, G::PageComing, To::Waiting, {}},
    {In({State::Fetching}), Event::Fetched, {}, To::Waiting, A::BuildPage},
    {In({State::Fetching}), Event::FetchFailed, G::PageTakes | G::Silent, To::Waiting, A::RenewPage | A::BuildPage},
    {In({State::Fetching}), Event::FetchFailed, G::PageTakes, To::Handed, A::HandOver},
    {In({State::Fetching}), Event::FetchFailed, G::PageComing, To::Waiting, {}},
    {In({State::Fetching}), Event::FetchFailed, {}, To::Waiting, A::BuildPage},

    // Staged only into a page that will play it.
    {Any, Event::AheadFetched, G::AheadStages, To::Stay, A::Stage},
    {Any, Event::AheadFetched, {}, To::Stay, A::HoldAhead},
    {Any, Event::AheadFailed, {}, To::Stay, A::HoldAhead},

    {In({State::Waiting}), Event::PageLoaded, {}, To::Handed, A::HandOver},
    // A sentence lost with its renderer is said again in the new page.
    {In({State::Failed}), Event::PageLoaded, {}, To::Stay, A::HandOver},
    {Any, Event::PageLoaded, {}, To::Stay, {}},

    // A page that lost its player gets one new document a movie, then the sentence.
    {Any, Event::HandOverTaken, {}, To::Stay, {}},
    {In({State::Handed}), Event::PlayRefused, G::Unexplained | G::NotRetried, To::Waiting, A::BuildPage | A::Retry},
    {In({State::Handed}), Event::PlayRefused, G::Unexplained, To::Stay, A::HandOver, P::Unplayable},

    {In({State::Handed}), Event::FirstFrame, G::Unexplained, To::Shown, A::EmitShown},
    {In({State::Handed}), Event::SentenceShown, {}, To::Failed, A::EmitFailed, P::Unplayable},

    // A player that panicked leaves its page unable to make another: the
    // movie gets a sentence of ours in a new document.
    {In({State::Handed, State::Shown}), Event::PlayerPanic, {}, To::Waiting, A::BuildPage, P::PlayerError},
    {In({State::Fetching, State::Waiting, State::Failed}), Event::PlayerPanic, {}, To::Stay, A::BuildPage},
    {Any, Event::StagedPanic, {}, To::Stay, A::HoldAhead},

    {Any, Event::Answered, {}, To::Stay, {}},
    // A busy page is not a dead one: a silent page goes only where the user
    // waits on a movie it has been given and cannot take while a movie set
    // before may hold it up, once a movie (a page that is merely slow is then
    // given its time, and the start clock has the last word). A page still
    // starting, a movie shown, failed or staged ahead, and a first frame at
    // work, keep their page; the next movie set goes to a new one while it
    // stays silent.
    {In({State::Handed}), Event::AnswerOverdue, G::HandOverOwed | G::FirstLoss | G::MovieBeforeMayRun, To::Stay, A::EndRenderer},
    {Any, Event::AnswerOverdue, {}, To::Stay, {}},

    // Slow is not dead: a renderer at work on the movie's document or its
    // first frame, and on nothing of a movie before, gets the start clock
    // again, however slow the machine.
    {In({State::Waiting, State::Handed}), Event::StartOverdue, G::AtWork, To::Stay, {}},
    // A document that does not load is held up by its renderer: it goes,
    // once a movie; after that the cover says why.
    {In({State::Waiting}), Event::StartOverdue, G::FirstLoss, To::Stay, A::EndRenderer},
    {In({State::Waiting}), Event::StartOverdue, {}, To::Failed, A::EmitFailed | A::CoverSays, P::DidNotStart},
    // No frame in time: the page says so, or a new one where it no longer answers.
    {In({State::Handed}), Event::StartOverdue, G::Unexplained | G::Silent, To::Stay, A::EndRenderer, P::DidNotStart},
    {In({State::Handed}), Event::StartOverdue, G::Unexplained, To::Stay, A::HandOver, P::DidNotStart},
    // Not even its sentence was taken.
    {In({State::Handed}), Event::StartOverdue, G::Silent | G::LossesLeft, To::Stay, A::EndRenderer},
    {In({State::Handed}), Event::StartOverdue, {}, To::Failed, A::EmitFailed | A::CoverSays},

    // A renderer gone takes what it showed: the movie is played again in a
    // new one while it has renderers left, then it gets the player's
    // sentence, and the cover says it where not even that page lives.
    {In({State::NoMovie}), Event::RendererGone, {}, To::Stay, {}},
    // Renderers lost while the movie is fetched count as its own.
    {In({State::Fetching}), Event::RendererGone, G::LossesLeft, To::Stay, A::BuildPage},
    {In({State::Fetching}), Event::RendererGone, {}, To::Stay, {}},
    {In({State::Waiting, State::Handed}), Event::RendererGone, G::LossesLeft, To::Waiting, A::BuildPage},
    {In({State::Waiting, State::Handed}), Event::RendererGone, G::Unexplained, To::Waiting, A::BuildPage, P::PlayerError},
    {In({State::Waiting, State::Handed}), Event::RendererGone, {}, To::Failed, A::EmitFailed | A::CoverSays},
    {In({State::Shown}), Event::RendererGone, {}, To::Waiting, A::BuildPage, P::PlayerError},
    {In({State::Failed}), Event::RendererGone, G::LossesLeft, To::Stay, A::BuildPage},
    {In({State::Failed}), Event::RendererGone, {}, To::Stay, A::CoverSays},
    // A stuck page whose renderer could not be ended is left to it: a new
    // page in a new renderer stands for it, and counts as its loss.
    {In({State::Waiting, State::Handed}), Event::RendererNotEnded, G::LossesLeft, To::Waiting, A::RenewPage | A::BuildPage},
    {In({State::Waiting, State::Handed}), Event::RendererNotEnded, G::Unexplained, To::Waiting, A::RenewPage | A::BuildPage, P::PlayerError},
    {In({State::Waiting, State::Handed}), Event::RendererNotEnded, {}, To::Failed, A::RenewPage | A::EmitFailed | A::CoverSays},

    {Any, Event::PageSeen, {}, To::Stay, {}},
    {Any, Event::PageHidden, {}, To::Stay, {}},
};
// clang-format on

// What each event brings into the machine before its row is chosen, in the
// order of Event (checked where the table is read); false where it comes too
// late to count.
constexpr PreviewMachine::IntakeRow PreviewMachine::Intakes[EventCount] = {
    {Event::SetMovie, &PreviewMachine::TakeSetMovie},
    {Event::Prefetch, &PreviewMachine::TakeNothing},
    {Event::Fetched, &PreviewMachine::TakeFetched},
    {Event::FetchFailed, &PreviewMachine::TakeFetchFailed},
    {Event::AheadFetched, &PreviewMachine::TakeAheadFetched},
    {Event::AheadFailed, &PreviewMachine::TakeAheadFailed},
    {Event::PageLoaded, &PreviewMachine::TakePageLoaded},
    {Event::HandOverTaken, &PreviewMachine::TakeHandOverAnswer},
    {Event::PlayRefused, &PreviewMachine::TakeHandOverAnswer},
    {Event::FirstFrame, &PreviewMachine::TakeOfSetMovie},
    {Event::SentenceShown, &PreviewMachine::TakeOfSetMovie},
    {Event::PlayerPanic, &PreviewMachine::TakeOfSetMovie},
    {Event::StagedPanic, &PreviewMachine::TakeStagedPanic},
    {Event::Answered, &PreviewMachine::Set<&PreviewMachine::silent_, false>},
    {Event::AnswerOverdue, &PreviewMachine::Set<&PreviewMachine::silent_, true>},
    {Event::StartOverdue, &PreviewMachine::TakeStartOverdue},
    {Event::RendererGone, &PreviewMachine::TakeRendererGone},
    {Event::RendererNotEnded, &PreviewMachine::TakeRendererGone},
    {Event::PageSeen, &PreviewMachine::Set<&PreviewMachine::seen_, true>},
    {Event::PageHidden, &PreviewMachine::Set<&PreviewMachine::seen_, false>},
};

constexpr bool PreviewMachine::IntakesInEventOrder()
{
    for (int event = 0; event < EventCount; ++event) {
        if (Intakes[event].event != static_cast<Event>(event))
            return false;
    }
    return true;
}

QUrl PreviewMachine::OriginOf(const QUrl& address)
{
    QUrl origin = address;
    origin.setPath(QStringLiteral("/"));
    origin.setQuery(QString());
    origin.setFragment(QString());
    origin.setUserInfo(QString());
    return origin.isValid() && !origin.isLocalFile() ? origin : QUrl(QStringLiteral("about:blank"));
}

void PreviewMachine::Learn(const QUrl& asked, const QUrl& finalAddress)
{
    const QUrl from = OriginOf(asked), to = OriginOf(finalAddress);
    if (from != to) {
        redirectedFrom_ = from;
        redirectedTo_ = to;
    } else if (from == redirectedFrom_) {
        redirectedFrom_ = redirectedTo_ = QUrl();
    }
}

QUrl PreviewMachine::Predicted(const QUrl& address) const
{
    const QUrl origin = OriginOf(address);
    return origin == redirectedFrom_ ? redirectedTo_ : origin;
}

bool PreviewMachine::PageFitsOrigin(const QUrl& origin) const
{
    return pageOrigin_ == origin && !renewalDue_ && moviesInPage_ < MoviesPerPage;
}

bool PreviewMachine::AheadIs(const QUrl& address, Ahead ahead) const
{
    return ahead_ == ahead && aheadAddress_ == address;
}

bool PreviewMachine::TakeSetMovie(const Input& input)
{
    ++serial_;
    movieBeforeMayRun_ = pageHeldMovie_;
    asked_ = input.url;
    const bool here = AheadIs(asked_, Ahead::Held) || AheadIs(asked_, Ahead::Staged);
    problem_ = here ? aheadProblem_ : P::None;
    movieOrigin_ = here && problem_ == P::None ? aheadOrigin_ : Predicted(asked_);
    losses_ = 0;
    retried_ = false;
    return true;
}

bool PreviewMachine::TakeFetched(const Input& input)
{
    Learn(asked_, input.url);
    movieOrigin_ = OriginOf(input.url);
    renewalDue_ = renewalDue_ || input.bytes > LargeMovieBytes;  // its memory goes with its page, after it
    return true;
}

bool PreviewMachine::TakeFetchFailed(const Input& input)
{
    problem_ = input.problem;
    return true;
}

bool PreviewMachine::TakeAheadFetched(const Input& input)
{
    if (ahead_ != Ahead::Fetching)
        return false;
    Learn(aheadAddress_, input.url);
    aheadOrigin_ = OriginOf(input.url);
    aheadLarge_ = input.bytes > LargeMovieBytes;
    return true;
}

bool PreviewMachine::TakeAheadFailed(const Input& input)
{
    if (ahead_ != Ahead::Fetching)
        return false;
    aheadProblem_ = input.problem;
    return true;
}

bool PreviewMachine::TakePageLoaded(const Input&)
{
    page_ = Page::Ready;
    // A new document: nothing of the one before runs any more.
    pageHeldMovie_ = movieBeforeMayRun_ = false;
    return true;
}

bool PreviewMachine::TakeHandOverAnswer(const Input& input)
{
    if (input.id != serial_)
        return false;  // the hand-over of a movie set before
    handOverOwed_ = false;
    silent_ = false;
    movieBeforeMayRun_ = false;  // the page dropped the movie before's player to take it
    return true;
}

bool PreviewMachine::TakeStagedPanic(const Input& input)
{
    if (ahead_ != Ahead::Staged || input.id != stagedToken_)
        return false;
    aheadProblem_ = P::PlayerError;
    renewalDue_ = true;  // its page can make no player for the next
    return true;
}

bool PreviewMachine::TakeRendererGone(const Input&)
{
    page_ = Page::Gone;
    pageOrigin_ = QUrl();
    if (ahead_ == Ahead::Staged)
        ahead_ = Ahead::Held;
    silent_ = false;
    handOverOwed_ = false;
    pageHeldMovie_ = movieBeforeMayRun_ = false;
    // A new renderer starts with nothing held.
    moviesInPage_ = 0;
    renewalDue_ = false;
    ++losses_;
    return true;
}

bool PreviewMachine::TakeStartOverdue(const Input& input)
{
    clockRuns_ = false;  // a single shot: it has fired
    if (input.atWork)
        ++startClocksAtWork_;
    return true;
}

bool PreviewMachine::Holds(Guard guard, const Input& input) const
{
    const bool sentence = problem_ != P::None;
    switch (guard) {
    case G::AheadIsSet: return AheadIs(asked_, Ahead::Held) || AheadIs(asked_, Ahead::Staged);
    case G::AheadComing: return AheadIs(asked_, Ahead::Fetching);
    case G::SameAhead: return ahead_ != Ahead::None && aheadAddress_ == input.url;
    case G::MovieStaged: return ahead_ == Ahead::Staged;
    case G::MovieAhead: return ahead_ != Ahead::None;
    case G::PageFits: return page_ == Page::Ready && !silent_ && PageFitsOrigin(movieOrigin_);
    case G::PageTakes: return page_ == Page::Ready && (sentence || pageOrigin_ == movieOrigin_);
    case G::PageComing: return page_ == Page::Building && (sentence || pageOrigin_ == movieOrigin_);
    case G::AheadStages:
        return page_ == Page::Ready && seen_ && !silent_ && PageFitsOrigin(aheadOrigin_) &&
               TravelsInCall(input.bytes);
    case G::Unexplained: return !sentence;
    case G::NotRetried: return !retried_;
    case G::FirstLoss: return losses_ == 0;
    case G::LossesLeft: return losses_ < RenderersPerMovie;
    case G::Silent: return silent_;
    case G::HandOverOwed: return handOverOwed_;
    case G::MovieBeforeMayRun: return movieBeforeMayRun_;
    case G::AtWork: return input.atWork && !movieBeforeMayRun_ && startClocksAtWork_ < StartClocksAtWork;
    }
    return false;
}

// The page the movie set plays in, as it is set: the one there while it
// fits, else a new document, or a new renderer when the one there has held
// enough or does not answer.
PreviewMachine::Actions PreviewMachine::PlacePage()
{
    if (renewalDue_ || silent_ || moviesInPage_ >= MoviesPerPage) {
        moviesInPage_ = 1;
        renewalDue_ = false;  // owed by the movie before: a movie adopted now may owe it again
        return A::RenewPage | A::BuildPage;
    }
    ++moviesInPage_;
    if (page_ == Page::Gone || pageOrigin_ != movieOrigin_)
        return A::BuildPage;
    return page_ == Page::Ready ? Actions(A::StopMovieBefore) : Actions();
}

// The machine's own side of each action, in the order they are carried out.
PreviewMachine::Actions PreviewMachine::Apply(Actions actions, const Input& input)
{
    if (actions & A::PlacePage)
        actions |= PlacePage();
    if (actions & A::CountMovie)
        ++moviesInPage_;
    if (actions & A::DropAhead)
        ahead_ = Ahead::None;
    if (actions & A::AdoptAhead) {
        ahead_ = Ahead::None;
        renewalDue_ = renewalDue_ || aheadLarge_;  // for the movie after it
    }
    if (actions & A::FetchAhead) {
        ahead_ = Ahead::Fetching;
        aheadAddress_ = input.url;
        aheadProblem_ = P::None;
        aheadLarge_ = false;
    }
    if (actions & A::HoldAhead)
        ahead_ = Ahead::Held;
    if (actions & A::Stage) {
        ahead_ = Ahead::Staged;
        ++stagedToken_;
    }
    if (actions & A::RenewPage)
        pageHeldMovie_ = movieBeforeMayRun_ = false;
    if (actions.testAnyFlags(A::BuildPage | A::HandOver))
        startClocksAtWork_ = 0;  // each document and each hand-over gets its whole time
    if (actions.testAnyFlags(A::HandOver | A::Stage))
        pageHeldMovie_ = true;
    if (actions & A::BuildPage) {
        page_ = Page::Building;
        pageOrigin_ = movieOrigin_;
        silent_ = false;  // the new document owes nothing yet
        handOverOwed_ = false;
        if (ahead_ == Ahead::Staged)
            ahead_ = Ahead::Held;  // the new document holds nothing
    }
    if (actions & A::HandOver)
        handOverOwed_ = true;
    if (actions & A::Retry)
        retried_ = true;
    return actions;
}

// The clocks follow the state: the start clock runs while the page owes the
// movie's document or its frame, the watch while it owes the frame, both
// only while the page can be seen (a hidden page draws nothing). Each
// document and each hand-over gets its whole time.
PreviewMachine::Actions PreviewMachine::Clocks(Actions actions)
{
    Actions clocks;
    const bool clock = (state_ == State::Waiting || state_ == State::Handed) && seen_;
    const bool watch = state_ == State::Handed && seen_;
    if (clock && (!clockRuns_ || actions.testAnyFlags(A::HandOver | A::BuildPage)))
        clocks |= A::StartClock;
    else if (!clock && clockRuns_)
        clocks |= A::StopClock;
    if (watch != watchRuns_)
        clocks |= watch ? A::StartWatch : A::StopWatch;
    clockRuns_ = clock;
    watchRuns_ = watch;
    return clocks;
}

PreviewMachine::Step PreviewMachine::On(const Input& input)
{
    static_assert(IntakesInEventOrder(), "the intake table follows the order of Event");
    const unsigned bit = 1u << static_cast<unsigned>(state_);
    const auto fits = [&](const Row& row) { return row.on == input.event && (row.from & bit); };
    if (std::none_of(std::begin(Rows), std::end(Rows), fits) ||
        !(this->*Intakes[static_cast<int>(input.event)].take)(input))
        return {state_, {}};
    for (const Row& row : Rows) {
        if (!fits(row))
            continue;
        bool holds = true;
        for (quint32 guard = 1; guard != 0 && holds; guard <<= 1)
            holds = !(row.when.toInt() & guard) || Holds(static_cast<Guard>(guard), input);
        if (!holds)
            continue;
        if (problem_ == P::None)
            problem_ = row.says;
        if (row.to != To::Stay)
            state_ = static_cast<State>(row.to);
        const Actions actions = Apply(row.actions, input);
        return {state_, ((actions | Clocks(actions)) & Carried)};
    }
    return {state_, Clocks({})};
}

} // namespace vidlatch::platform
