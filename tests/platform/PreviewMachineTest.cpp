#include "PreviewMachine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <string>
#include <vector>

namespace vidlatch::platform {
namespace {

using M = PreviewMachine;
using E = M::Event;
using S = M::State;

const QUrl A(QStringLiteral("http://static.vidsite.example/v1/res/vidplayer.swf?vid=a1b2c3d4e5f"));
const QUrl B(QStringLiteral("http://static.vidsite.example/v1/res/vidplayer.swf?vid=XqZ9fR2kLmN"));
const QUrl Other(QStringLiteral("http://other.vidsite.example/v1/res/vidplayer.swf?vid=Tb7_wE3-pQs"));
const QUrl Redirected(QStringLiteral("http://static.vidsite.example/fail/redirect.swf?vid=k0LmN8vB2xC"));
const QUrl Cdn(QStringLiteral("http://cdn.vidsite.example/v1/res/vidplayer.swf?vid=k0LmN8vB2xC"));

// Ways into each state, as a preview gets there.
struct Recipe { const char* name; std::vector<M::Input> inputs; };
const std::vector<Recipe>& Recipes()
{
    static const std::vector<Recipe> recipes = {
        {"no movie", {}},
        {"fetching", {{E::SetMovie, A}}},
        {"waiting for its page", {{E::SetMovie, A}, {E::Fetched, A, 100}}},
        {"handed", {{E::SetMovie, A}, {E::Fetched, A, 100}, {E::PageLoaded}}},
        {"shown", {{E::SetMovie, A}, {E::Fetched, A, 100}, {E::PageLoaded}, {E::FirstFrame}}},
        {"failed", {{E::SetMovie, A}, {E::FetchFailed, {}, 0, MovieProblem::HttpError}, {E::PageLoaded}, {E::SentenceShown}}},
        {"fetching ahead", {{E::SetMovie, A}, {E::Fetched, A, 100}, {E::PageLoaded}, {E::FirstFrame}, {E::Prefetch, B}}},
        {"staged", {{E::SetMovie, A}, {E::Fetched, A, 100}, {E::PageLoaded}, {E::FirstFrame}, {E::Prefetch, B}, {E::AheadFetched, B, 100}}},
        {"held", {{E::SetMovie, A}, {E::Fetched, A, 100}, {E::PageLoaded}, {E::FirstFrame}, {E::Prefetch, Other}, {E::AheadFetched, Other, 100}}},
        {"handed, its renderer ended", {{E::SetMovie, A}, {E::Fetched, A, 100}, {E::PageLoaded}, {E::AnswerOverdue}, {E::RendererGone}, {E::PageLoaded}}},
        {"hidden", {{E::SetMovie, A}, {E::Fetched, A, 100}, {E::PageLoaded}, {E::FirstFrame}, {E::PageHidden}}},
        {"a redirect learnt", {{E::SetMovie, Redirected}, {E::Fetched, Cdn, 100}, {E::PageLoaded}, {E::FirstFrame}}},
        {"a page that has had its share", [] {
             std::vector<M::Input> inputs{{E::SetMovie, A}, {E::Fetched, A, 100}, {E::PageLoaded}, {E::FirstFrame}};
             for (int movie = 1; movie < M::MoviesPerPage; ++movie)
                 inputs.push_back({E::SetMovie, movie % 2 ? B : A});
             return inputs;
         }()},
    };
    return recipes;
}

// The page's reports and answers in the rows are about the movie set now
// (StagedPanic: the movie staged now), unless one names the one before.
constexpr int Before = -1;
M::Step Feed(M& machine, M::Input input)
{
    static constexpr E OfTheMovie[] = {E::HandOverTaken, E::PlayRefused, E::FirstFrame, E::SentenceShown, E::PlayerPanic};
    const int now = input.event == E::StagedPanic ? machine.StagedToken() : machine.Serial();
    if (input.event == E::StagedPanic || std::find(std::begin(OfTheMovie), std::end(OfTheMovie), input.event) != std::end(OfTheMovie))
        input.id = input.id == Before ? now - 1 : now;
    return machine.On(input);
}

M Made(const Recipe& recipe)
{
    M machine;
    for (const M::Input& input : recipe.inputs)
        (void)Feed(machine, input);
    return machine;
}

// What the world answers a machine that waits: the page loads, the renderer
// goes once ended, a fetch or a clock runs out (on a renderer `atWork` all
// the while, or idle). Returns whether the movie set ends on screen or in a
// sentence (or none was set) within a few answers.
bool Ends(M machine, M::Actions last, bool atWork)
{
    for (int answer = 0; answer < 12 + M::StartClocksAtWork * M::RenderersPerMovie; ++answer) {
        if (machine.state() == S::Shown || machine.state() == S::Failed || machine.state() == S::NoMovie)
            return true;
        M::Input next = M::Input::StartOverdue(atWork);
        if (last & M::Action::EndRenderer)
            next = M::Input(E::RendererGone);
        else if (machine.page() == M::Page::Building)
            next = M::Input(E::PageLoaded);
        else if (machine.state() == S::Fetching)
            next = M::Input(E::FetchFailed, {}, 0, MovieProblem::TooSlow);
        else if (machine.state() == S::Handed && machine.Problem() != MovieProblem::None)
            next = M::Input(E::SentenceShown);
        last = Feed(machine, next).actions;
    }
    return false;
}

// Every state against every event, with the page answering and silent: a
// movie waits only for a page being built, is handed only to a ready page,
// the signals come with their states, and from wherever it gets, the movie
// set has an exit, however long its renderer works.
TEST(PreviewMachine, EveryStateAgainstEveryEventHasAnExit)
{
    for (const Recipe& recipe : Recipes()) {
        for (int event = 0; event < M::EventCount; ++event) {
            for (const bool silent : {false, true}) {
                M machine = Made(recipe);
                if (silent)
                    (void)machine.On(M::Input(E::AnswerOverdue));
                M::Input input(static_cast<E>(event), event == int(E::SetMovie) || event == int(E::Prefetch) ? B : A, 100);
                const S before = machine.state();
                const M::Step step = Feed(machine, input);
                const std::string what = std::string(recipe.name) + ", event " + std::to_string(event);
                if (step.state == S::Waiting) {
                    EXPECT_EQ(machine.page(), M::Page::Building) << what;
                }
                EXPECT_EQ(bool(step.actions & M::Action::EmitShown), before != S::Shown && step.state == S::Shown) << what;
                EXPECT_EQ(bool(step.actions & M::Action::EmitFailed), before != S::Failed && step.state == S::Failed) << what;
                if (step.state == S::Failed) {
                    EXPECT_NE(machine.Problem(), MovieProblem::None) << what;
                }
                if (step.actions & M::Action::HandOver) {
                    EXPECT_EQ(machine.page(), M::Page::Ready) << what;
                }
                for (const bool atWork : {false, true})
                    EXPECT_TRUE(Ends(machine, step.actions, atWork)) << what << (atWork ? ", at work" : "");
            }
        }
    }
}

TEST(PreviewMachine, WhatEachEventDoes)
{
    using enum M::Action;
    struct Row {
        const char* what;
        const char* recipe;
        std::vector<M::Input> inputs;
        S state;
        M::Actions actions;  // exactly these, in the last step
        MovieProblem problem = MovieProblem::None;
    };
    const Row rows[] = {
        {"first movie: fetched while its page is built", "no movie", {{E::SetMovie, A}}, S::Fetching, StartFetch | BuildPage},
        {"same origin: the page stays, the movie before stops", "shown", {{E::SetMovie, B}}, S::Fetching, StartFetch | StopMovieBefore},
        {"another origin: a new document", "shown", {{E::SetMovie, Other}}, S::Fetching, StartFetch | BuildPage},
        {"fetched into a ready page", "fetching", {{E::PageLoaded}, {E::Fetched, A, 100}}, S::Handed, HandOver | StartClock | StartWatch},
        {"a failure waits for its page", "fetching", {{E::FetchFailed, {}, 0, MovieProblem::NotFlash}}, S::Waiting, StartClock, MovieProblem::NotFlash},
        {"a frame drawn", "handed", {{E::FirstFrame}}, S::Shown, EmitShown | StopClock | StopWatch},
        {"the page's sentence", "handed", {{E::SentenceShown}}, S::Failed, EmitFailed | StopClock | StopWatch, MovieProblem::Unplayable},
        {"no frame in time, the page answering", "handed", {{E::StartOverdue}}, S::Handed, HandOver | StartClock, MovieProblem::DidNotStart},
        {"... after the page was silent and answered again", "handed, its renderer ended", {{E::AnswerOverdue}, {E::Answered}, {E::StartOverdue}}, S::Handed, HandOver | StartClock, MovieProblem::DidNotStart},
        {"no frame in time, the page silent", "handed, its renderer ended", {{E::AnswerOverdue}, {E::StartOverdue}}, S::Handed, EndRenderer | StartClock, MovieProblem::DidNotStart},
        {"... its sentence in a new page, on a clock of its own", "handed, its renderer ended", {{E::AnswerOverdue}, {E::StartOverdue}, {E::RendererGone}, {E::PageLoaded}}, S::Handed, HandOver | StartClock | StartWatch, MovieProblem::DidNotStart},
        {"slow is not dead: a first frame at work gets the start clock again", "handed", {{E::HandOverTaken}, {E::AnswerOverdue}, M::Input::StartOverdue(true)}, S::Handed, StartClock},
        {"... and so does a document at work", "waiting for its page", {M::Input::StartOverdue(true)}, S::Waiting, StartClock},
        {"... and its sentence, in a new page at work", "handed, its renderer ended", {{E::AnswerOverdue}, M::Input::StartOverdue(false), {E::RendererGone}, {E::PageLoaded}, M::Input::StartOverdue(true)}, S::Handed, StartClock, MovieProblem::DidNotStart},
        {"... as many times as a page may work, then as a page that does not answer",
         "handed", [] {
             std::vector<M::Input> inputs{{E::HandOverTaken}, {E::AnswerOverdue}};
             for (int clock = 0; clock < M::StartClocksAtWork; ++clock)
                 inputs.push_back(M::Input::StartOverdue(true));
             return inputs;
         }(), S::Handed, EndRenderer | StartClock, MovieProblem::DidNotStart},
        {"... each hand-over with its own count", "handed",
         [] {
             std::vector<M::Input> inputs{{E::HandOverTaken}};
             for (int clock = 1; clock < M::StartClocksAtWork; ++clock)
                 inputs.push_back(M::Input::StartOverdue(true));
             inputs.insert(inputs.end(), {M::Input::StartOverdue(false), {E::HandOverTaken}, M::Input::StartOverdue(true)});
             return inputs;
         }(), S::Handed, StartClock, MovieProblem::DidNotStart},
        {"work in a renderer where the movie before may run is not the set movie's", "shown", {{E::SetMovie, Other}, {E::Fetched, Other, 100}, M::Input::StartOverdue(true)},
         S::Waiting, EndRenderer | StartClock},
        {"a document that does not load: its renderer goes, and the fired clock runs again", "waiting for its page", {{E::StartOverdue}}, S::Waiting, EndRenderer | StartClock},
        {"... once a movie; then the cover says why", "waiting for its page", {{E::StartOverdue}, {E::RendererGone}, {E::StartOverdue}}, S::Failed, EmitFailed | CoverSays, MovieProblem::DidNotStart},
        {"a renderer gone while its page is rebuilt: the movie still gets its sentence", "handed", {{E::AnswerOverdue}, {E::RendererGone}, {E::RendererGone}, {E::StartOverdue}}, S::Failed, EmitFailed | CoverSays, MovieProblem::DidNotStart},
        {"a page still starting, silent while it owes the movie, is waited for", "handed", {{E::AnswerOverdue}}, S::Handed, {}},
        {"... and so is one whose new document has loaded", "shown", {{E::SetMovie, Other}, {E::Fetched, Other, 100}, {E::PageLoaded}, {E::AnswerOverdue}}, S::Handed, {}},
        {"... ended once a movie", "handed", {{E::AnswerOverdue}, {E::RendererGone}, {E::PageLoaded}, {E::AnswerOverdue}}, S::Handed, {}},
        {"... the movie again in a new page", "handed", {{E::AnswerOverdue}, {E::RendererGone}}, S::Waiting, BuildPage | StartClock | StopWatch},
        {"a movie that hangs keeps the next from nothing: fetched, it goes to a new page", "shown", {{E::SetMovie, B}, {E::AnswerOverdue}, {E::Fetched, B, 100}}, S::Waiting, RenewPage | BuildPage | StartClock},
        {"... handed to it before it fell silent, its renderer goes", "shown", {{E::SetMovie, B}, {E::Fetched, B, 100}, {E::AnswerOverdue}}, S::Handed, EndRenderer},
        {"... nor does one whose renderer was ended already: the next goes to a new page", "handed, its renderer ended", {{E::AnswerOverdue}, {E::SetMovie, B}}, S::Fetching, StartFetch | RenewPage | BuildPage | StopClock | StopWatch},
        {"busy is not dead: a movie shown keeps its page", "shown", {{E::AnswerOverdue}}, S::Shown, {}},
        {"... and so does a movie that failed", "failed", {{E::AnswerOverdue}}, S::Failed, {}, MovieProblem::HttpError},
        {"... and a first frame at work, its hand-over taken", "handed", {{E::HandOverTaken}, {E::AnswerOverdue}}, S::Handed, {}},
        {"... where the start clock has the last word", "handed", {{E::HandOverTaken}, {E::AnswerOverdue}, {E::StartOverdue}}, S::Handed, EndRenderer | StartClock, MovieProblem::DidNotStart},
        {"... and staging ahead into a busy page ends nothing", "staged", {{E::AnswerOverdue}}, S::Shown, {}},
        {"... the movie staged goes to a new page at Return while its page is silent", "staged", {{E::AnswerOverdue}, {E::SetMovie, B}}, S::Waiting, AdoptAhead | RenewPage | BuildPage | StartClock},
        {"... and plays there once the page has answered", "staged", {{E::AnswerOverdue}, {E::Answered}, {E::SetMovie, B}}, S::Handed, AdoptAhead | HandOver | StartClock | StartWatch},
        {"renderers lost while the movie is fetched count: a page each while it has renderers left", "fetching", {{E::RendererGone}, {E::RendererGone}}, S::Fetching, BuildPage},
        {"... then none until it is here", "fetching", {{E::RendererGone}, {E::RendererGone}, {E::RendererGone}}, S::Fetching, {}},
        {"a renderer gone under a movie shown: a new page says why", "shown", {{E::RendererGone}}, S::Waiting, BuildPage | StartClock, MovieProblem::PlayerError},
        {"a renderer gone under a sentence: said again", "failed", {{E::RendererGone}, {E::PageLoaded}}, S::Failed, HandOver, MovieProblem::HttpError},
        {"a movie that takes its renderers with it gets the player's sentence", "handed", {{E::RendererGone}, {E::PageLoaded}, {E::RendererGone}, {E::PageLoaded}, {E::RendererGone}}, S::Waiting, BuildPage | StartClock | StopWatch, MovieProblem::PlayerError},
        {"... and the cover says it where not even that page lives", "handed", {{E::RendererGone}, {E::PageLoaded}, {E::RendererGone}, {E::PageLoaded}, {E::RendererGone}, {E::PageLoaded}, {E::RendererGone}}, S::Failed, EmitFailed | CoverSays | StopClock | StopWatch, MovieProblem::PlayerError},
        {"a stuck page whose renderer could not be ended: a new page in a new renderer", "handed", {{E::AnswerOverdue}, {E::RendererNotEnded}},
         S::Waiting, RenewPage | BuildPage | StartClock | StopWatch},
        {"... counted as a renderer lost: the cover says why at the last", "handed", {{E::RendererNotEnded}, {E::PageLoaded}, {E::RendererNotEnded},
         {E::PageLoaded}, {E::RendererNotEnded}, {E::PageLoaded}, {E::RendererNotEnded}}, S::Failed,
         RenewPage | EmitFailed | CoverSays | StopClock | StopWatch, MovieProblem::PlayerError},
        {"... told after the movie showed: nothing", "shown", {{E::RendererNotEnded}}, S::Shown, {}},
        {"a panic: a new page says why", "shown", {{E::PlayerPanic}}, S::Waiting, BuildPage | StartClock, MovieProblem::PlayerError},
        {"... and the next plays there", "shown", {{E::PlayerPanic}, {E::PageLoaded}, {E::SentenceShown}, {E::SetMovie, B}, {E::Fetched, B, 100}}, S::Handed, HandOver | StartClock | StartWatch},
        {"a page without a player gets one more", "handed", {{E::PlayRefused}}, S::Waiting, BuildPage | StartClock | StopWatch},
        {"... then a sentence", "handed", {{E::PlayRefused}, {E::PageLoaded}, {E::PlayRefused}}, S::Handed, HandOver | StartClock, MovieProblem::Unplayable},
        {"staged: only shown", "staged", {{E::SetMovie, B}}, S::Handed, AdoptAhead | HandOver | StartClock | StartWatch},
        {"held of another origin: one new document", "held", {{E::SetMovie, Other}}, S::Waiting, AdoptAhead | BuildPage | StartClock},
        {"still on its way: the fetch goes on", "fetching ahead", {{E::SetMovie, B}}, S::Fetching, AdoptAhead | StopMovieBefore},
        {"another movie set: the one ahead goes", "staged", {{E::SetMovie, Other}}, S::Fetching, StartFetch | DropAhead | Unstage | BuildPage},
        {"a second prefetch replaces the first", "staged", {{E::Prefetch, Other}}, S::Shown, DropAhead | Unstage | FetchAhead},
        {"the same prefetch again", "fetching ahead", {{E::Prefetch, B}}, S::Shown, {}},
        {"a movie fetched ahead for a hidden page is held, not staged", "hidden", {{E::Prefetch, B}, {E::AheadFetched, B, 100}}, S::Shown, {}},
        {"a staged movie lost with its renderer waits for the new page", "staged", {{E::RendererGone}, {E::SetMovie, B}}, S::Waiting, AdoptAhead},
        {"a staged panic renews the page for it", "staged", {{E::StagedPanic}, {E::SetMovie, B}}, S::Waiting, AdoptAhead | RenewPage | BuildPage | StartClock, MovieProblem::PlayerError},
        {"the fetch before ends late: nothing", "shown", {{E::Fetched, A, 100}, {E::FetchFailed, {}, 0, MovieProblem::TimedOut}}, S::Shown, {}},
        {"a redirect: one document, for where the movie comes from", "shown", {{E::SetMovie, Redirected}, {E::Fetched, Cdn, 100}}, S::Waiting, BuildPage | StartClock},
        {"a redirect learnt: the page is the CDN's from the start", "a redirect learnt", {{E::SetMovie, Redirected}}, S::Fetching, StartFetch | StopMovieBefore},
        {"... and a movie fetched ahead from there is staged", "a redirect learnt", {{E::Prefetch, Redirected}, {E::AheadFetched, Cdn, 100}}, S::Shown, Stage},
        {"an origin no longer redirected: one document", "a redirect learnt", {{E::SetMovie, A}, {E::Fetched, A, 100}}, S::Waiting, BuildPage | StartClock},
        {"a page that has had its share: a new renderer", "a page that has had its share", {{E::SetMovie, B}}, S::Fetching, StartFetch | RenewPage | BuildPage},
        {"a large movie: the next gets a new renderer", "fetching", {{E::Fetched, A, M::LargeMovieBytes + 1}, {E::PageLoaded}, {E::FirstFrame}, {E::SetMovie, B}}, S::Fetching, StartFetch | RenewPage | BuildPage},
        {"a large movie fetched ahead: the movie after it gets a new renderer", "shown", {{E::Prefetch, B}, {E::AheadFetched, B, M::LargeMovieBytes + 1}, {E::SetMovie, B}, {E::FirstFrame}, {E::SetMovie, A}}, S::Fetching, StartFetch | RenewPage | BuildPage},
        {"two large movies fetched ahead in a row: the movie after the second gets a new renderer too", "shown",
         {{E::Prefetch, B}, {E::AheadFetched, B, M::LargeMovieBytes + 1}, {E::SetMovie, B}, {E::FirstFrame},
          {E::Prefetch, A}, {E::AheadFetched, A, M::LargeMovieBytes + 1}, {E::SetMovie, A}, {E::PageLoaded}, {E::FirstFrame},
          {E::SetMovie, B}}, S::Fetching, StartFetch | RenewPage | BuildPage},
        {"a report about the movie set before: nothing", "handed", {{E::FirstFrame, Before}, {E::SentenceShown, Before}, {E::PlayerPanic, Before}},
         S::Handed, {}},
        {"... nor its hand-over's answer: the page still owes this one", "shown", {{E::SetMovie, B}, {E::Fetched, B, 100}, {E::HandOverTaken, Before}, {E::AnswerOverdue}}, S::Handed, EndRenderer},
        {"a panic of the movie staged before: nothing", "staged", {{E::StagedPanic, Before}, {E::SetMovie, B}}, S::Handed,
         AdoptAhead | HandOver | StartClock | StartWatch},
        {"a hidden page stops the clocks", "handed", {{E::PageHidden}}, S::Handed, StopClock | StopWatch},
        {"... and seen again, the movie gets its whole time", "handed", {{E::PageHidden}, {E::PageSeen}}, S::Handed, StartClock | StartWatch},
    };
    for (const Row& row : rows) {
        const Recipe* recipe = nullptr;
        for (const Recipe& r : Recipes())
            if (std::string(r.name) == row.recipe)
                recipe = &r;
        ASSERT_NE(recipe, nullptr) << row.what;
        M machine = Made(*recipe);
        M::Step step{machine.state(), {}};
        for (const M::Input& input : row.inputs)
            step = Feed(machine, input);
        EXPECT_EQ(step.state, row.state) << row.what;
        EXPECT_EQ(step.actions.toInt(), row.actions.toInt()) << row.what;
        EXPECT_EQ(machine.Problem(), row.problem) << row.what;
    }
}

} // namespace
} // namespace vidlatch::platform
