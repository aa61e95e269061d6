#include "PreviewMachine.h"

namespace vidlatch::platform {

QUrl PreviewMachine::OriginOf(const QUrl& address)
{
    QUrl origin = address;
    origin.setPath(QStringLiteral("/"));
    origin.setQuery(QString());
    origin.setFragment(QString());
    origin.setUserInfo(QString());
    return origin.isValid() && !origin.isLocalFile() ? origin : QUrl(QStringLiteral("about:blank"));
}

bool PreviewMachine::Covered() const
{
    return state_ == State::Fetching || state_ == State::Waiting || state_ == State::Handed;
}

void PreviewMachine::ResetMovie()
{
    problem_ = MovieProblem::None;
    endedForMovie_ = false;
    rebuiltForMovie_ = false;
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

// A movie asked at `asked` has come: where from, and what it leaves behind.
QUrl PreviewMachine::Arrived(const QUrl& asked, const Input& fetched)
{
    Learn(asked, fetched.url);
    if (fetched.bytes > LargeMovieBytes)
        renewalDue_ = true;  // its memory goes with its page, after it
    return OriginOf(fetched.url);
}

QUrl PreviewMachine::Predicted(const QUrl& address) const
{
    const QUrl origin = OriginOf(address);
    return origin == redirectedFrom_ ? redirectedTo_ : origin;
}

bool PreviewMachine::PageFits(const QUrl& origin) const
{
    return pageOrigin_ == origin && !renewalDue_ && moviesInPage_ < MoviesPerPage;
}

PreviewMachine::Actions PreviewMachine::Build(const QUrl& origin)
{
    page_ = Page::Building;
    pageOrigin_ = origin;
    if (ahead_ == Ahead::Staged)
        ahead_ = Ahead::Held;  // the new document holds nothing
    return BuildPage;
}

// The page a movie of `origin` is played in, as it is set: the one there
// while it fits, else a new document, or a new renderer when the one there
// has held enough.
PreviewMachine::Actions PreviewMachine::PagesFor(const QUrl& origin)
{
    if (renewalDue_ || moviesInPage_ >= MoviesPerPage) {
        renewalDue_ = false;
        moviesInPage_ = 1;
        return RenewPage | Build(origin);
    }
    ++moviesInPage_;
    if (page_ == Page::Gone || pageOrigin_ != origin)
        return Build(origin);
    return 0;
}

// The set movie, or why it fails, is here: to the page once it is ready.
PreviewMachine::Actions PreviewMachine::Deliver()
{
    const bool sentence = problem_ != MovieProblem::None;
    if (page_ == Page::Ready && (sentence || pageOrigin_ == movieOrigin_)) {
        state_ = State::Handed;
        return HandOver;
    }
    state_ = State::Waiting;
    if (page_ == Page::Building && (sentence || pageOrigin_ == movieOrigin_))
        return 0;
    return Build(movieOrigin_);
}

// The movie ends in a sentence: its own problem, or `otherwise`.
PreviewMachine::Actions PreviewMachine::Failed(MovieProblem otherwise)
{
    if (problem_ == MovieProblem::None)
        problem_ = otherwise;
    state_ = State::Failed;
    return EmitFailed;
}

PreviewMachine::Actions PreviewMachine::Fail(MovieProblem problem)
{
    problem_ = problem;
    return Deliver();
}

// The movie set is on its way: its page gets ready meanwhile, and the movie
// before stops where that page stays.
PreviewMachine::Step PreviewMachine::Fetch(const QUrl& address, Actions fetch)
{
    movieOrigin_ = Predicted(address);
    state_ = State::Fetching;
    Actions actions = fetch | PagesFor(movieOrigin_);
    if (page_ == Page::Ready && !(actions & BuildPage))
        actions |= StopMovieBefore;
    return {state_, actions};
}

PreviewMachine::Step PreviewMachine::SetMovie(const QUrl& address)
{
    ResetMovie();
    const bool fetchedAhead = ahead_ != Ahead::None && aheadAddress_ == address;
    const Ahead ahead = std::exchange(ahead_, Ahead::None);
    if (!fetchedAhead)
        return Fetch(address, StartFetch | (ahead != Ahead::None ? Actions{DropAhead} : 0));
    if (ahead == Ahead::Fetching)
        return Fetch(address, AdoptAhead);
    // Here already: played at once where the page is ready for it, a staged
    // one only shown.
    problem_ = aheadProblem_;
    movieOrigin_ = problem_ == MovieProblem::None ? aheadOrigin_ : Predicted(address);
    if (ahead == Ahead::Staged && PageFits(movieOrigin_) && page_ == Page::Ready) {
        ++moviesInPage_;
        state_ = State::Handed;
        return {state_, AdoptAhead | HandOver};
    }
    const Actions pages = PagesFor(movieOrigin_);
    const Actions delivery = Deliver();
    return {state_, AdoptAhead | pages | delivery};
}

PreviewMachine::Step PreviewMachine::On(const Input& input)
{
    Actions actions = 0;
    switch (input.event) {
    case Event::SetMovie:
        asked_ = input.url;
        return SetMovie(input.url);
    case Event::Prefetch:
        if (ahead_ != Ahead::None && aheadAddress_ == input.url)
            break;  // under way already
        actions = FetchAhead | (ahead_ != Ahead::None ? Actions{DropAhead} : 0);
        ahead_ = Ahead::Fetching;
        aheadAddress_ = input.url;
        aheadProblem_ = MovieProblem::None;
        break;
    case Event::Fetched:
        if (state_ != State::Fetching)
            break;
        movieOrigin_ = Arrived(asked_, input);
        actions = Deliver();
        break;
    case Event::FetchFailed:
        if (state_ == State::Fetching)
            actions = Fail(input.problem);
        break;
    case Event::AheadFetched:
        if (ahead_ != Ahead::Fetching)
            break;
        aheadOrigin_ = Arrived(aheadAddress_, input);
        // Staged only into a page that will play it: ready, seen, of its
        // origin and staying, and only a movie that travels in the call.
        if (page_ == Page::Ready && input.pageSeen && PageFits(aheadOrigin_) && input.bytes <= InlineMovieBytes) {
            ahead_ = Ahead::Staged;
            actions = Stage;
        } else {
            ahead_ = Ahead::Held;
        }
        break;
    case Event::AheadFailed:
        if (ahead_ == Ahead::Fetching) {
            ahead_ = Ahead::Held;
            aheadProblem_ = input.problem;
        }
        break;
    case Event::PageLoaded:
        page_ = Page::Ready;
        if (state_ == State::Waiting)
            actions = Deliver();
        break;
    case Event::PlayRefused:
        if (state_ != State::Handed)
            break;
        // A page that lost its player gets one new document a movie.
        if (!std::exchange(rebuiltForMovie_, true)) {
            state_ = State::Waiting;
            actions = Build(movieOrigin_);
        } else if (problem_ == MovieProblem::None) {
            actions = Fail(MovieProblem::Unplayable);
        }
        break;
    case Event::FirstFrame:
        if (state_ == State::Handed && problem_ == MovieProblem::None) {
            state_ = State::Shown;
            actions = EmitShown;
        }
        break;
    case Event::PageFailed:
        // The page's own sentence for a movie the player cannot take.
        if (state_ == State::Handed)
            actions = Failed(MovieProblem::Unplayable);
        break;
    case Event::PlayerPanic:
        // A player that panicked leaves its page unable to make another: the
        // movie gets a sentence of ours in a new document.
        if (state_ == State::Handed || state_ == State::Shown) {
            problem_ = MovieProblem::PlayerError;
            state_ = State::Waiting;
        }
        actions = Build(state_ == State::Fetching ? movieOrigin_ : pageOrigin_);
        break;
    case Event::StagedPanic:
        if (ahead_ == Ahead::Staged) {
            ahead_ = Ahead::Held;
            aheadProblem_ = MovieProblem::PlayerError;
            renewalDue_ = true;
        }
        break;
    case Event::AnswerOverdue:
        // Once a movie: a page that is merely slow is then given its time.
        if (!std::exchange(endedForMovie_, true))
            actions = EndRenderer;
        break;
    case Event::StartOverdue:
        if (state_ == State::Waiting) {
            // A document that does not load is held up by its renderer: it
            // goes, once a movie; after that the page is past helping.
            actions = !std::exchange(endedForMovie_, true) ? EndRenderer : Failed(MovieProblem::DidNotStart);
            break;
        }
        if (state_ != State::Handed)
            break;
        if (problem_ != MovieProblem::None) {
            // Not even its sentence was taken: the page is past helping.
            actions = Failed(problem_);
            break;
        }
        problem_ = MovieProblem::DidNotStart;
        // A page that no longer answers cannot show the sentence: its
        // renderer goes, and a new page says it.
        actions = input.pageOwesAnswer ? EndRenderer : HandOver;
        break;
    case Event::RendererGone:
        page_ = Page::Gone;
        pageOrigin_ = QUrl();
        if (ahead_ == Ahead::Staged)
            ahead_ = Ahead::Held;
        if (state_ == State::Fetching) {
            actions = Build(movieOrigin_);
        } else if (state_ == State::Waiting || state_ == State::Handed) {
            state_ = State::Waiting;
            actions = Build(movieOrigin_);
        }
        break;
    }
    return {state_, actions};
}

} // namespace vidlatch::platform
