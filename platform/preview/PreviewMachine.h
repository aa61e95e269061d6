#pragma once

#include "MovieCheck.h"

#include <QString>
#include <QUrl>

namespace vidlatch::platform {

// What happens to the preview's movies, decided in one place. The preview
// tells it what happened (a movie set, a fetch done, the page's reports, a
// clock run out) and carries out the actions it answers; the page only
// reports and plays what it is told. Every state a movie can be in has an
// exit: its first frame on screen, or a sentence that says why not.
class PreviewMachine {
public:
    // The movie last set.
    enum class State {
        NoMovie,   // none set yet
        Fetching,  // on its way from the site
        Waiting,   // here, or why it failed, until the page can take it
        Handed,    // given to the page, which owes its first frame or its sentence
        Shown,     // a frame of it is drawn
        Failed,    // a sentence says why it does not play
    };
    // The movie fetched ahead of its setMovie, while the notice is read.
    enum class Ahead {
        None,
        Fetching,
        Held,    // here, or why it failed, kept by the program
        Staged,  // loaded paused and hidden in the page
    };
    // The player page.
    enum class Page { Gone, Building, Ready };

    enum class Event {
        SetMovie,
        Prefetch,
        Fetched,        // the set movie's fetch: `url` where it came from, `bytes` its size
        FetchFailed,    // ... `problem` why not
        AheadFetched,   // the same for the fetch ahead
        AheadFailed,
        PageLoaded,
        PlayRefused,    // the page answered a hand-over with no player
        FirstFrame,     // of the set movie, drawn
        PageFailed,     // the page shows the set movie's sentence
        PlayerPanic,    // the set movie's player broke down
        StagedPanic,    // the staged movie's player broke down
        AnswerOverdue,  // a call to the page unanswered for the answer time
        StartOverdue,   // no page within the start time, or no first frame within it of the hand-over
        RendererGone,
    };
    static constexpr int EventCount = static_cast<int>(Event::RendererGone) + 1;

    struct Input {
        Input(Event what, QUrl address = {}, qsizetype size = 0, MovieProblem why = MovieProblem::None)
            : event(what), url(std::move(address)), bytes(size), problem(why) {}
        Event event;
        QUrl url;                   // SetMovie, Prefetch: the address; fetched: where it came from
        qsizetype bytes = 0;        // fetched: the movie's size
        MovieProblem problem = MovieProblem::None;  // failed: why
        bool pageSeen = true;       // AheadFetched: whether the page is on screen (a hidden one loads nothing)
        bool pageOwesAnswer = false;  // StartOverdue: whether a call to the page is unanswered
    };

    enum Action : unsigned {
        StartFetch = 1u << 0,       // fetch the set movie, abandoning the fetch before
        AdoptAhead = 1u << 1,       // the fetch ahead becomes the set movie's, as far as it has come
        FetchAhead = 1u << 2,       // fetch the movie ahead, abandoning the one before
        DropAhead = 1u << 3,        // forget the movie ahead; the page drops it if staged
        StopMovieBefore = 1u << 4,  // the page stops the movie on screen now
        RenewPage = 1u << 5,        // a new page in a new renderer (before BuildPage)
        BuildPage = 1u << 6,        // a new document of PageOrigin(), its player loading at once
        Stage = 1u << 7,            // hand the movie ahead to the page, paused and hidden
        HandOver = 1u << 8,         // hand the set movie, or Problem()'s sentence, to the page; its start clock runs
        EndRenderer = 1u << 9,
        EmitShown = 1u << 10,
        EmitFailed = 1u << 11,
    };
    using Actions = unsigned;

    struct Step {
        State state;
        Actions actions;
    };

    // Movies larger than this are handed over through the scheme, not staged.
    static constexpr qsizetype InlineMovieBytes = qsizetype{1} << 20;
    // A page's renderer only grows: after a movie this large, or this many
    // movies, the next gets a new page in a new renderer.
    static constexpr qsizetype LargeMovieBytes = qsizetype{8} << 20;
    static constexpr int MoviesPerPage = 25;

    [[nodiscard]] Step On(const Input& input);

    State state() const { return state_; }
    Ahead ahead() const { return ahead_; }
    Page page() const { return page_; }
    // Why the set movie does not play; None while it may (Failed always has one).
    MovieProblem Problem() const { return problem_; }
    QUrl PageOrigin() const { return pageOrigin_; }
    // The movie before is covered until the set movie is drawn or failed.
    bool Covered() const;
    // The page is asked to answer now and then: it owes the set movie.
    bool WatchesAnswers() const { return state_ == State::Handed; }
    // The start clock runs: the page owes its document or the movie's frame.
    bool StartClockRuns() const { return state_ == State::Waiting || state_ == State::Handed; }

    // The origin a page of `address` gets: scheme, host and port.
    [[nodiscard]] static QUrl OriginOf(const QUrl& address);

private:
    Step SetMovie(const QUrl& address);
    Step Fetch(const QUrl& address, Actions fetch);
    Actions PagesFor(const QUrl& origin);
    Actions Build(const QUrl& origin);
    Actions Deliver();
    Actions Fail(MovieProblem problem);
    Actions Failed(MovieProblem otherwise);
    void ResetMovie();
    void Learn(const QUrl& asked, const QUrl& finalAddress);
    QUrl Arrived(const QUrl& asked, const Input& fetched);
    QUrl Predicted(const QUrl& address) const;
    bool PageFits(const QUrl& origin) const;

    State state_ = State::NoMovie;
    Ahead ahead_ = Ahead::None;
    Page page_ = Page::Gone;
    MovieProblem problem_ = MovieProblem::None;
    MovieProblem aheadProblem_ = MovieProblem::None;
    QUrl asked_;  // the set movie's address
    QUrl movieOrigin_, pageOrigin_;
    QUrl aheadAddress_, aheadOrigin_;
    // Where the movies of one origin were last sent: the page is built once,
    // for the origin the movie comes from.
    QUrl redirectedFrom_, redirectedTo_;
    int moviesInPage_ = 0;
    bool renewalDue_ = false;  // the last movie was large
    bool endedForMovie_ = false;  // a slow page is given its time once a movie
    bool rebuiltForMovie_ = false;
};

} // namespace vidlatch::platform
