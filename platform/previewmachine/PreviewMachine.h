#pragma once

#include "MovieProblem.h"

#include <QFlags>
#include <QUrl>

namespace vidlatch::platform {

// What happens to the preview's movies, decided in one place. The preview
// tells it what happened (a movie set, a fetch done, the page's reports and
// answers, a clock run out, the page seen or hidden) and carries out the
// actions it answers; the page only reports and plays what it is told.
// Every state a movie can be in has an exit: its first frame on screen, or
// a sentence that says why not, on the page or, where no page can be had,
// on the cover. Its transitions are rows of one table (PreviewMachine.cpp).
class PreviewMachine {
public:
    // The movie last set.
    enum class State {
        NoMovie,   // none set yet
        Fetching,  // on its way from the site
        Waiting,   // here, or why it failed, until the page being built can take it
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
        PageLoaded,     // the page last built is ready to play
        HandOverTaken,  // the page answered a hand-over: a player made for the movie, or its sentence shown
        PlayRefused,    // the page answered a hand-over with no player
        FirstFrame,     // of the set movie, drawn
        SentenceShown,  // the page shows the set movie's sentence
        PlayerPanic,    // the set movie's player broke down
        StagedPanic,    // the staged movie's player broke down
        Answered,       // the page answered a call
        AnswerOverdue,  // a call to the page (any) unanswered for the answer time
        StartOverdue,   // the start clock ran out (it runs no more): `atWork` whether the page's renderer worked meanwhile
        RendererGone,
        RendererNotEnded,  // a renderer to end could not be (its process not yet known): its page stays stuck
        PageSeen,
        PageHidden,
    };
    static constexpr int EventCount = static_cast<int>(Event::PageHidden) + 1;

    struct Input {
        Input(Event what, QUrl address = {}, qsizetype size = 0, MovieProblem why = MovieProblem::None)
            : event(what), url(std::move(address)), bytes(size), problem(why) {}
        // A report or an answer of the page's, about the movie `of`.
        Input(Event what, int of) : event(what), id(of) {}
        // The start clock ran out, the page's renderer at work meanwhile or not.
        [[nodiscard]] static Input StartOverdue(bool atWork)
        {
            Input input(Event::StartOverdue);
            input.atWork = atWork;
            return input;
        }
        Event event;
        QUrl url;                   // SetMovie, Prefetch: the address; fetched: where it came from
        qsizetype bytes = 0;        // fetched: the movie's size
        MovieProblem problem = MovieProblem::None;  // failed: why
        // A report of a movie's, or a hand-over's answer: the Serial() of
        // the movie it is about; StagedPanic: the StagedToken() of the movie.
        int id = 0;
        bool atWork = false;  // StartOverdue: the page's renderer worked while the clock ran
    };

    enum class Action : quint32 {
        StartFetch = 1u << 0,       // fetch the set movie, abandoning the fetch before; the cover goes up
        AdoptAhead = 1u << 1,       // the fetch ahead becomes the set movie's, as far as it has come; the cover goes up
        FetchAhead = 1u << 2,       // fetch the movie ahead, abandoning the one before
        DropAhead = 1u << 3,        // forget the movie ahead and its fetch
        Unstage = 1u << 4,          // the page drops the staged player
        StopMovieBefore = 1u << 5,  // the page stops the movie on screen now
        RenewPage = 1u << 6,        // a new page in a new renderer (before BuildPage)
        BuildPage = 1u << 7,        // a new document of PageOrigin(), its player loading at once
        Stage = 1u << 8,            // hand the movie ahead to the page, paused and hidden
        HandOver = 1u << 9,         // hand the set movie, or Problem()'s sentence, to the page
        EndRenderer = 1u << 10,
        StartClock = 1u << 11,      // the start clock runs afresh
        StopClock = 1u << 12,
        StartWatch = 1u << 13,      // the page is asked now and then whether it is alive
        StopWatch = 1u << 14,
        EmitShown = 1u << 15,       // the cover lifts once the frame is on screen
        EmitFailed = 1u << 16,      // ... once the sentence is, unless the cover says it
        CoverSays = 1u << 17,       // no page could be had: the cover says Problem()'s sentence
        // The machine's own bookkeeping: never in a step's actions.
        PlacePage = 1u << 24,       // the page the movie set plays in: kept, a new document, or a new renderer
        CountMovie = 1u << 25,      // the page kept plays one more movie
        HoldAhead = 1u << 26,
        Retry = 1u << 27,           // the one new document a movie gets for a page without a player
    };
    Q_DECLARE_FLAGS(Actions, Action)

    struct Step {
        State state;
        Actions actions;
    };

    // Movies larger than this are handed over through the scheme, not staged.
    static constexpr qsizetype InlineMovieBytes = qsizetype{1} << 20;
    // Whether a movie of `bytes` travels in the call that hands it over (else
    // the page fetches it from the player's scheme, and it is never staged).
    [[nodiscard]] static constexpr bool TravelsInCall(qsizetype bytes) { return bytes <= InlineMovieBytes; }
    // A page's renderer only grows: after a movie this large, or this many
    // movies, the next gets a new page in a new renderer.
    static constexpr qsizetype LargeMovieBytes = qsizetype{8} << 20;
    static constexpr int MoviesPerPage = 25;
    // A movie that takes this many renderers with it is given up.
    static constexpr int RenderersPerMovie = 3;
    // A page at work on the movie's document or first frame is given the
    // start clock again, this many times at most: a script that never ends
    // is ended by the player's own limit long before (15 s, as in Flash),
    // and anything else that keeps a renderer at work for ever by this.
    static constexpr int StartClocksAtWork = 6;

    [[nodiscard]] Step On(const Input& input);

    State state() const { return state_; }
    Page page() const { return page_; }
    // Why the set movie does not play; None while it may (Failed always has one).
    MovieProblem Problem() const { return problem_; }
    QUrl PageOrigin() const { return pageOrigin_; }
    // Which movie set the page is told about (each SetMovie a new one), and
    // which one staged (each Stage a new one): only its reports count.
    int Serial() const { return serial_; }
    int StagedToken() const { return stagedToken_; }

    // The origin a page of `address` gets: scheme, host and port.
    [[nodiscard]] static QUrl OriginOf(const QUrl& address);

    // What the rows of the table test.
    enum class Guard : quint32 {
        AheadIsSet = 1u << 0,    // the movie set is here already, held or staged
        AheadComing = 1u << 1,   // the movie set is the one being fetched ahead
        SameAhead = 1u << 2,     // the movie asked ahead is under way or here already
        MovieStaged = 1u << 3,   // a movie is staged (another, where the rows above took this one)
        MovieAhead = 1u << 4,    // a movie is fetched ahead or held (another, likewise)
        PageFits = 1u << 5,      // the page is ready, answers, and stays for a movie of the set movie's origin
        PageTakes = 1u << 6,     // the page is ready for the set movie (any page, for a sentence)
        PageComing = 1u << 7,    // the page being built is for it
        AheadStages = 1u << 8,   // the movie fetched ahead travels in a call, to a page seen that stays for it
        Unexplained = 1u << 9,   // the set movie has no sentence
        NotRetried = 1u << 10,
        FirstLoss = 1u << 11,    // no renderer has gone with the set movie yet
        LossesLeft = 1u << 12,   // fewer renderers than RenderersPerMovie have gone with it
        Silent = 1u << 13,       // the page owes an answer past its time
        HandOverOwed = 1u << 14, // the page has not answered the set movie's hand-over yet
        // What runs in the page's renderer may be a movie set before: it was
        // handed one, and has neither answered the set movie's hand-over nor
        // loaded a document since (either ends the movie before there).
        MovieBeforeMayRun = 1u << 15,
        // The start clock ran out on a renderer at work on the set movie
        // alone, which has not had its fill of start clocks.
        AtWork = 1u << 16,
    };
    Q_DECLARE_FLAGS(Guards, Guard)

private:
    // The state a row leaves the movie in: one of State's, or the one it was in.
    enum class To { NoMovie, Fetching, Waiting, Handed, Shown, Failed, Stay };
    struct Row;
    static const Row Rows[];
    using Intake = bool (PreviewMachine::*)(const Input&);
    struct IntakeRow {
        Event event;
        Intake take;
    };
    static const IntakeRow Intakes[EventCount];
    static constexpr bool IntakesInEventOrder();

    bool Holds(Guard guard, const Input& input) const;
    Actions Apply(Actions actions, const Input& input);
    Actions Clocks(Actions actions);
    Actions PlacePage();
    void Learn(const QUrl& asked, const QUrl& finalAddress);
    QUrl Predicted(const QUrl& address) const;
    bool PageFitsOrigin(const QUrl& origin) const;
    bool AheadIs(const QUrl& address, Ahead ahead) const;

    bool TakeNothing(const Input&) { return true; }
    bool TakeOfSetMovie(const Input& input) { return input.id == serial_; }
    bool TakeSetMovie(const Input& input);
    bool TakeFetched(const Input& input);
    bool TakeFetchFailed(const Input& input);
    bool TakeAheadFetched(const Input& input);
    bool TakeAheadFailed(const Input& input);
    bool TakePageLoaded(const Input&);
    bool TakeHandOverAnswer(const Input&);
    bool TakeStagedPanic(const Input&);
    bool TakeRendererGone(const Input&);
    bool TakeStartOverdue(const Input& input);
    // What the page is (silent or answering, seen or hidden), and whether the start clock runs.
    template <bool PreviewMachine::*Flag, bool Value>
    bool Set(const Input&)
    {
        this->*Flag = Value;
        return true;
    }

    State state_ = State::NoMovie;
    int serial_ = 0;
    int stagedToken_ = 0;
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
    bool renewalDue_ = false;  // the movie before was large
    bool aheadLarge_ = false;
    int losses_ = 0;           // renderers gone with the set movie
    bool retried_ = false;
    bool silent_ = false;
    bool handOverOwed_ = false;
    bool pageHeldMovie_ = false;  // a movie or its sentence was handed or staged to the document there
    bool movieBeforeMayRun_ = false;
    int startClocksAtWork_ = 0;       // ... run out on the set movie's page at work, since its document or hand-over
    bool seen_ = true;
    bool clockRuns_ = false, watchRuns_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PreviewMachine::Actions)
Q_DECLARE_OPERATORS_FOR_FLAGS(PreviewMachine::Guards)

} // namespace vidlatch::platform
